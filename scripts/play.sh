#!/usr/bin/env bash
# Builds the game and runs it from its run directory (where Assets.bin lies).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}

./scripts/setup.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
if [ ! -x "$BUILD_DIR/bin/zorbulon" ]; then
  echo "play: the game executable is not built yet" >&2
  exit 1
fi
cd "$BUILD_DIR/bin"
exec ./zorbulon
