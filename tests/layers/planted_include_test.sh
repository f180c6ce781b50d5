#!/usr/bin/env bash
# The layer check on copies of this tree's engine folders: the copy as it is passes, and one
# planted upward include, or one include of an engine folder in no layer, fails naming its
# file:line and nothing else.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
check="$src/scripts/check-layers.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL [$case_name]: $*" >&2; failures=$((failures + 1)); }

new_copy() {
  case_name=$1
  mkdir "$work/$1"
  (cd "$src" && cp -r math app assets scene collision renderer game "$work/$1/")
}

# Runs the check on the case's copy; expects exit status $1 and, on failure, exactly the
# reported locations given after it.
expect() {
  local want=$1; shift
  local got=0
  "$check" "$work/$case_name" 2>"$work/$case_name.err" >/dev/null || got=$?
  [ "$got" = "$want" ] || fail "exit status $got, wanted $want: $(cat "$work/$case_name.err")"
  local reported
  reported=$( (grep -o '^[^ ]*:[0-9]*:' "$work/$case_name.err" || true) | sed 's/:$//' | sort | tr '\n' ' ')
  [ "$reported" = "$*${*:+ }" ] || fail "reported '$reported', wanted '$*'"
}

# Inserts an include line after line $2 of file $1 in the case's copy.
plant() { sed -i "$2a #include \"$3\"" "$work/$case_name/$1"; }

new_copy clean
expect 0

new_copy upward
plant collision/Sphere.cpp 1 renderer/VulkanRenderer.h
expect 1 collision/Sphere.cpp:2

new_copy upward_from_a_header
plant math/MathUtils.h 3 game/Scene0.h
expect 1 math/MathUtils.h:4

new_copy folder_in_no_layer
mkdir "$work/$case_name/scene/terrain"
echo '#pragma once' >"$work/$case_name/scene/terrain/Ground.h"
plant game/Scene0.cpp 2 scene/terrain/Ground.h
expect 1 game/Scene0.cpp:3 scene/terrain/Ground.h:1

[ "$failures" = 0 ] || exit 1
echo "all layer check cases pass"
