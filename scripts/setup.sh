#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: does nothing when everything is already in place. Runs as root
# (or through sudo when it is available).
set -euo pipefail

PACKAGES=(
  build-essential g++ cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libvulkan-dev glslc spirv-tools libspirv-cross-c-shared-dev
  libassimp-dev libimgui-dev libstb-dev libspng-dev libglm-dev
  libopenal-dev libopenal1 libsndfile1-dev libfftw3-dev libebur128-dev nlohmann-json3-dev zlib1g-dev
  libtomlplusplus-dev
  libmeshoptimizer-dev
  libgl-dev libgl1-mesa-dri
  xvfb xdotool x11-utils libx11-dev imagemagick gdb
  # tests/e2e: a window manager, for the game's fullscreen switch
  openbox
  # tests/install: the installed menu entry is checked with desktop-file-validate
  desktop-file-utils
  vulkan-validationlayers vulkan-tools
  # scripts/fuzz.sh: clang's libFuzzer and sanitizer runtimes, and llvm-symbolizer for readable reports
  clang libclang-rt-14-dev llvm
  # scripts/tidy.sh: clang-tidy's bug and performance checks, run-clang-tidy to run them two at a time
  clang-tidy
)
# Lavapipe in plain bookworm (22.x) has no descriptor indexing; 25.x comes from backports.
BACKPORT_PACKAGES=(mesa-vulkan-drivers)
MIN_MESA_MAJOR=23

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p
  for p in "${PACKAGES[@]}" "${BACKPORT_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

mesa_is_recent() {
  local v
  v=$(dpkg-query -W -f='${Version}' mesa-vulkan-drivers 2>/dev/null || true)
  [ -n "$v" ] && [ "${v%%.*}" -ge "$MIN_MESA_MAJOR" ]
}

if [ -z "$(missing_packages)" ] && mesa_is_recent; then
  echo "setup: all packages present"
  exit 0
fi

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
. "$(dirname "$0")/apt-sources.sh"
apt_ensure_backports /etc/apt "$codename" as_root tee

export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -q
as_root apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
as_root apt-get install -y -q --no-install-recommends -t "${codename}-backports" "${BACKPORT_PACKAGES[@]}"

if ! mesa_is_recent; then
  echo "setup: mesa-vulkan-drivers is older than ${MIN_MESA_MAJOR}.x; lavapipe lacks descriptor indexing" >&2
  exit 1
fi
echo "setup: done"
