#!/usr/bin/env bash
# Runs clang-tidy's bug and performance checks (.clang-tidy says which) over the engine and game
# sources, as the main build compiles them (its compile_commands.json); any finding fails.
# Usage: scripts/tidy.sh [main build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
if [ ! -f "$BUILD/compile_commands.json" ]; then
  echo "tidy: no compile_commands.json in $BUILD; configure it first" >&2
  exit 2
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$SECONDS
status=0
run-clang-tidy -p "$BUILD" -j "$(nproc)" -quiet \
  "^$PWD/(app|assets|renderer|scene|math|collision|game)/" >"$log" 2>&1 || status=$?
# Only the findings and the lines that point at them; not the command line of every file.
sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E -A 3 '(warning|error): ' | grep -v '^clang-tidy' || true
files=$(grep -c '^clang-tidy' "$log" || true)
echo "== clang-tidy: $files files in $((SECONDS - start)) s$([ "$status" -ne 0 ] && echo ', findings above')"
exit $status
