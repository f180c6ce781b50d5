#!/usr/bin/env bash
# Builds the CPU-side suites (unit and gameplay, sound, allocator) with AddressSanitizer and
# UndefinedBehaviorSanitizer in a second build directory and runs them; any finding fails.
# Takes the pack from the main build. Usage: scripts/sanitize.sh [main build dir] [sanitizer build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
MAIN_BUILD=$(realpath "${1:-build}")
SAN_BUILD=${2:-build-sanitize}

# -O1 and line tables only (-g1): reports still name the file and line of every frame, and the
# build compiles and links faster than with -O2 and full debug info.
cmake -S . -B "$SAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBULON_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DZORBULON_BUILD_BENCH=OFF -DZORBULON_PACK_DIR="$MAIN_BUILD/bin"
cmake --build "$SAN_BUILD" --parallel "$(nproc)" --target \
  zorbulon_tests zorbulon_sound_tests zorbulon_sound_probe zorbulon_allocator_tests zorbulon_soak_tests \
  zorbulon_game_start_probe

# Findings in the libraries the tests drive (the software Vulkan driver and its compiler, X,
# fontconfig) are theirs: leaks are reported only where a frame of ours allocated.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitize/lsan.supp:print_suppressions=0"
# The allocator's tests ask for absurd sizes on purpose and expect a failure, not a report.
export ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$SAN_BUILD/bin"
status=0
for suite in zorbulon_tests zorbulon_sound_tests zorbulon_allocator_tests zorbulon_soak_tests; do
  echo "== $suite (address, undefined)"
  ALSOFT_DRIVERS=null ./"$suite" --gtest_brief=1 || status=1
done

# A start without its pack fails part-way through building the scene: it must report, exit 1 and
# leave nothing of ours behind (the leak checker runs at exit).
echo "== failed start without a pack (address, undefined, leaks)"
empty=$(mktemp -d)
set +e
ALSOFT_DRIVERS=null ./zorbulon_game_start_probe "$empty" >"$empty/out.txt" 2>&1
code=$?
set -e
cat "$empty/out.txt"
if [ "$code" -ne 1 ] || ! grep -q "^Zorbulon: Failed to open assets file" "$empty/out.txt" ||
  grep -q "Sanitizer" "$empty/out.txt"; then
  echo "sanitize: the failed start did not end cleanly (exit $code)" >&2
  status=1
else
  echo "ok: exit 1 with the message, no leak and no sanitizer report"
fi
rm -rf "$empty"
exit $status
