#!/usr/bin/env bash
# Builds the code that runs on several threads (the parallel image decode, the sound engine) and
# its tests with ThreadSanitizer in a build directory of its own and runs them; any race report
# fails. Takes the pack from the main build.
# Usage: scripts/tsan.sh [main build dir] [thread sanitizer build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
MAIN_BUILD=$(realpath "${1:-build}")
TSAN_BUILD=${2:-build-tsan}

cmake -S . -B "$TSAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBULON_TSAN=ON \
  -DZORBULON_BUILD_BENCH=OFF -DZORBULON_PACK_DIR="$MAIN_BUILD/bin" >/dev/null
cmake --build "$TSAN_BUILD" --parallel "$(nproc)" --target zorbulon_thread_tests

# A report makes the run exit with 66 once the tests are done, so every race is listed.
export TSAN_OPTIONS="suppressions=$PWD/tests/sanitize/tsan.supp:print_suppressions=0:second_deadlock_stack=1"
cd "$TSAN_BUILD/bin"
echo "== zorbulon_thread_tests (thread)"
./zorbulon_thread_tests --gtest_brief=1
