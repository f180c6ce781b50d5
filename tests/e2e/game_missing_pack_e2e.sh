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

start_xvfb 1920x1080x24 || exit 1
use_lavapipe_with_validation "$out/validation.log"
export SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null

(cd "$empty" && exec timeout 300 "$game") >"$out/stdout.txt" 2>"$out/stderr.txt" &
pid=$!
launcher=$(wait_window "Choose Resolution" 120) || { fail "no launcher window"; kill "$pid"; exit 1; }
sleep 1
click_at "$launcher" 537 367
for _ in $(seq 1 240); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  fail "the game kept running without its pack"
  exit 1
fi
wait "$pid"
status=$?
check "non-zero exit code" "$status != 0"
check "not killed by a signal (abort)" "$status < 128"
expected=${EXPECTED_MESSAGE:-Zorbulon: }
if grep -qF "$expected" "$out/stderr.txt"; then
  log "ok: message on standard error: $(head -c 200 "$out/stderr.txt")"
else
  fail "expected '$expected' on standard error, got: $(head -c 500 "$out/stderr.txt")"
fi
exit $E2E_FAIL
