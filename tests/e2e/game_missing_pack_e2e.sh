#!/usr/bin/env bash
# The game started where there is no pack: after the launcher it must print the loader's message on
# standard error and exit with a non-zero code, not abort.
# Usage: game_missing_pack_e2e.sh <zorbulon executable> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

game=$1
out=$2
mkdir -p "$out"
empty=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$empty"' EXIT

run_game_to_its_end "$game" "$empty" "$out" || exit 1
check "non-zero exit code" "$GAME_STATUS != 0"
check "not killed by a signal (abort)" "$GAME_STATUS < 128"
expected=${EXPECTED_MESSAGE:-Zorbulon: }
if grep -qF "$expected" "$out/stderr.txt"; then
  log "ok: message on standard error: $(head -c 200 "$out/stderr.txt")"
else
  fail "expected '$expected' on standard error, got: $(head -c 500 "$out/stderr.txt")"
fi
exit $E2E_FAIL
