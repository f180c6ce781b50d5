#!/usr/bin/env bash
# Runs the renderer frame tests in a private Xvfb on lavapipe with the validation layer logging
# to a file; fails on a failed test or on any validation message (leak reports included). The
# memory soak runs in a second process without the layer's synchronization checks, whose own
# state grows with every resource a run makes; every other case runs with them. Arguments after
# the run directory go to both runs (--gtest_shuffle, --gtest_repeat=N).
# Usage: run_renderer_frames.sh <test binary> <run directory> [gtest arguments...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"

binary=$1
run_dir=$2
shift 2
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT

start_xvfb 1280x720x24 || exit 1
# The scene's sound mixes on OpenAL's null driver: real voices, no sound card, no noise.
export ALSOFT_DRIVERS=null
status=0

# run <name> <with-sync|without-sync> <gtest filter> [gtest arguments...]
run() {
  local name=$1 sync=$2 filter=$3 errors
  shift 3
  mkdir -p "$work/$name"
  use_lavapipe_with_validation "$work/$name/validation.log" "$sync"
  # Mesa's lavapipe manifest is lvp_icd.json in the 25.x packages, lvp_icd.<arch>.json in older ones.
  for icd in /usr/share/vulkan/icd.d/lvp_icd.x86_64.json /usr/share/vulkan/icd.d/lvp_icd.json; do
    if [ -e "$icd" ]; then
      export VK_DRIVER_FILES=$icd VK_ICD_FILENAMES=$icd
      break
    fi
  done
  (cd "$run_dir" && "$binary" --gtest_filter="$filter" "$@") || status=1

  errors=$(validation_errors "$work/$name/validation.log")
  if [ "$errors" != "0" ]; then
    echo "validation ($name) reported $errors message(s):" >&2
    head -c 20000 "$work/$name/validation.log" >&2
    status=1
  elif ! grep -q "." "$work/$name/validation.log" 2>/dev/null; then
    log "validation ($name): no messages"
  else
    echo "validation log ($name, no errors or warnings):"
    head -c 4000 "$work/$name/validation.log"
  fi
}

run frames with-sync "-RendererSoak.*" "$@"
run soak without-sync "RendererSoak.*" "$@"
exit $status
