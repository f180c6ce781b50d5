#!/usr/bin/env bash
# The game started on a copy of the pack with one byte of a fragment shader flipped. The shader is
# damaged, not missing: after the launcher the game must name it on standard error and exit with
# code 1, not abort or draw with a broken shader.
# Usage: game_damaged_pack_e2e.sh <zorbulon executable> <run directory with the pack> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

game=$1
run_dir=$2
out=$3
mkdir -p "$out"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT

cp "$run_dir/Assets.bin" "$run_dir/AssetsOffsets.bin" "$work/" || { fail "cannot copy the pack"; exit 1; }
# The first fragment shader of the index, and the byte in its middle.
record=$(grep -A2 -m1 '^NAME: .*frag$' "$work/AssetsOffsets.bin")
name=$(sed -n '1s/^NAME: //p' <<<"$record")
start=$(sed -n '2s/^start: //p' <<<"$record")
end=$(sed -n '3s/^end: //p' <<<"$record")
if [ -z "$name" ] || [ -z "$start" ] || [ -z "$end" ] || [ "$end" -le "$start" ]; then
  fail "no fragment shader record in the index: $record"
  exit 1
fi
offset=$(( start + (end - start) / 2 ))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/Assets.bin" | tr -d ' ')
printf "\\$(printf '%03o' $(( byte ^ 255 )))" | dd of="$work/Assets.bin" bs=1 seek="$offset" conv=notrunc status=none
flipped=$(od -An -tu1 -j "$offset" -N1 "$work/Assets.bin" | tr -d ' ')
check "byte $offset of $name flipped ($byte -> $flipped)" "$flipped == 255 - $byte"
expected="Zorbulon: Assets.bin is damaged: $name fails its checksum"

run_game_to_its_end "$game" "$work" "$out" || exit 1
check "exit code 1, not a signal ($GAME_STATUS)" "$GAME_STATUS == 1"
if grep -qxF "$expected" "$out/stderr.txt"; then
  log "ok: message on standard error: $expected"
else
  fail "expected '$expected' on standard error, got: $(head -c 500 "$out/stderr.txt")"
fi
exit $E2E_FAIL
