#!/usr/bin/env bash
# Builds everything and runs every test: set-up, configure, build, ctest; then clang-tidy's checks
# over the engine and game sources (TIDY=0 skips them), the CPU-side suites again under
# AddressSanitizer and UndefinedBehaviorSanitizer (SANITIZE=0 skips them), the code that runs on
# several threads under ThreadSanitizer (TSAN=0 skips it), and the fuzz targets for a fixed
# number of inputs from a fixed seed (FUZZ=0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}

./scripts/setup.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
(cd "$BUILD_DIR" && ctest --output-on-failure --parallel "$(nproc)" "$@")
if [ "${TIDY:-1}" != 0 ]; then
  ./scripts/tidy.sh "$BUILD_DIR"
fi
if [ "${SANITIZE:-1}" != 0 ]; then
  ./scripts/sanitize.sh "$BUILD_DIR" "${BUILD_DIR}-sanitize"
fi
if [ "${TSAN:-1}" != 0 ]; then
  ./scripts/tsan.sh "$BUILD_DIR" "${BUILD_DIR}-tsan"
fi
if [ "${FUZZ:-1}" != 0 ]; then
  ./scripts/fuzz.sh "$BUILD_DIR" "${BUILD_DIR}-fuzz"
fi
