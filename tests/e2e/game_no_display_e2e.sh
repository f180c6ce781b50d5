#!/usr/bin/env bash
# The game started where there is no display (as over SSH) and no video driver was chosen: it must
# say so on standard error and exit with code 1 at once, not run invisibly waiting for a click.
# Usage: game_no_display_e2e.sh <zorbulon executable> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

game=$1
out=$2
mkdir -p "$out"
empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT

# The watchdog's 124 tells a game that waited from one that exited.
(cd "$empty" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$game") \
  >"$out/stdout.txt" 2>"$out/stderr.txt"
status=$?
check "exit code 1" "$status == 1"
first=$(head -1 "$out/stderr.txt")
case $first in
  "no display: "*) log "ok: $first" ;;
  *) fail "expected 'no display: ...' on standard error, got: $(head -c 500 "$out/stderr.txt")" ;;
esac
exit $E2E_FAIL
