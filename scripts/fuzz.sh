#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in their own build directory, seeds each from the
# assets of the real pack (the settings reader from files written out here), runs the kept
# regression inputs, then fuzzes each target for a fixed number of inputs from a fixed seed, as
# many targets at once as there are cores. Any crash, sanitizer report, timeout or out-of-memory
# fails. Takes the pack from the main build.
# Usage: scripts/fuzz.sh [main build dir] [fuzz build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
MAIN_BUILD=$(realpath "${1:-build}")
FUZZ_BUILD=$(realpath -m "${2:-build-fuzz}")
PACK=$MAIN_BUILD/bin/Assets.bin
INDEX=$MAIN_BUILD/bin/AssetsOffsets.bin
if [ ! -f "$PACK" ] || [ ! -f "$INDEX" ]; then
  echo "fuzz: no pack in $MAIN_BUILD/bin; build it first (ninja -C ${1:-build} zorbulon_pack)" >&2
  exit 2
fi

# Per target: inputs to run (about a minute each on the two-core machine) and the largest input.
# The largest seeds fit whole: a cut model, clip or sound only reaches the parser's error path.
TARGETS=(pack_reader mesh_import clip_import sound_decode shader_reflection image_decode settings_reader)
declare -A RUNS=([pack_reader]=12000 [mesh_import]=800 [clip_import]=1800 [sound_decode]=80000
  [shader_reflection]=220000 [image_decode]=15000 [settings_reader]=150000)
declare -A MAX_LEN=([pack_reader]=16384 [mesh_import]=1048576 [clip_import]=262144 [sound_decode]=262144
  [shader_reflection]=32768 [image_decode]=131072 [settings_reader]=4096)

cmake -S . -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORBULON_FUZZ=ON \
  -DZORBULON_BUILD_TESTS=OFF -DZORBULON_BUILD_BENCH=OFF -DZORBULON_PACK_DIR="$MAIN_BUILD/bin" >/dev/null
cmake --build "$FUZZ_BUILD" --parallel "$(nproc)" --target "${TARGETS[@]/#/fuzz_}"

# --- Seed corpora -------------------------------------------------------------------------------

# One line per index record: name, start, end, crc32 line (the whole line, or empty).
records() {
  awk '/^NAME: /{if (n != "") print n "\t" s "\t" e "\t" c; n = substr($0, 7); s = e = c = ""}
       /^start: /{s = $2} /^end: /{e = $2} /^crc32: /{c = $0}
       END{if (n != "") print n "\t" s "\t" e "\t" c}' "$INDEX"
}

# Bytes of one asset: start and end offsets.
asset_bytes() {
  dd if="$PACK" bs=1M iflag=skip_bytes,count_bytes skip="$1" count=$(($2 - $1)) status=none
}

# Files a seed under its content hash, so equal assets count once and names are the same each run.
add_seed() { # dir file
  mv "$2" "$1/$(sha1sum "$2" | cut -c1-16)"
}

CORPUS=$FUZZ_BUILD/corpus
rm -rf "$CORPUS"
for t in "${TARGETS[@]}"; do mkdir -p "$CORPUS/$t"; done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

while IFS=$'\t' read -r name start end crc; do
  asset_bytes "$start" "$end" >"$tmp/asset"
  magic=$(head -c 4 "$tmp/asset" | od -An -tx1 | tr -d ' \n')
  case "$magic" in
    786f6620) # "xof ": a model holds meshes, a clip an animation set; the characters hold both
      grep -aq '^ *Mesh ' "$tmp/asset" && cp "$tmp/asset" "$tmp/mesh" && add_seed "$CORPUS/mesh_import" "$tmp/mesh"
      grep -aq 'AnimationSet' "$tmp/asset" && cp "$tmp/asset" "$tmp/clip" && add_seed "$CORPUS/clip_import" "$tmp/clip"
      ;;
    52494646 | 4f676753 | 664c6143) # RIFF, OggS, fLaC
      add_seed "$CORPUS/sound_decode" "$tmp/asset" ;;
    89504e47) # PNG: the small ones fit whole (the mask, the specular map); larger ones are cut
      add_seed "$CORPUS/image_decode" "$tmp/asset" ;;
  esac
  case "$name" in
    *vert | *frag) [ "$magic" = 03022307 ] && add_seed "$CORPUS/shader_reflection" "$tmp/asset" ;;
  esac
  rm -f "$tmp/asset"
done < <(records)

# The pack reader: the real index alone (every asset then lies past the end of an empty pack), and
# small slices of the pack, each with its records moved to start at 0, after a NUL byte.
cp "$INDEX" "$tmp/index" && add_seed "$CORPUS/pack_reader" "$tmp/index"
slice() { # names...
  local offset=0 name start end crc
  : >"$tmp/slice-index"
  : >"$tmp/slice-pack"
  for want in "$@"; do
    IFS=$'\t' read -r name start end crc < <(records | awk -F'\t' -v n="$want" '$1 == n' | head -1)
    printf 'NAME: %s\nstart: %d\nend: %d\n%s\n' "$name" "$offset" $((offset + end - start)) "$crc" >>"$tmp/slice-index"
    asset_bytes "$start" "$end" >>"$tmp/slice-pack"
    offset=$((offset + end - start))
  done
  { cat "$tmp/slice-index"; printf '\0'; cat "$tmp/slice-pack"; } >"$tmp/slice"
  add_seed "$CORPUS/pack_reader" "$tmp/slice"
}
slice Triangle
slice Cube
slice Grass
slice SkyBoxShaderfrag
slice Triangle Cube SkyBoxShaderfrag

# The settings reader: files a player might keep, written out here as the pack holds none.
settings_seed() { cat >"$tmp/settings"; add_seed "$CORPUS/settings_reader" "$tmp/settings"; }
settings_seed <<'EOF'
[controls]
back = "S"
fire = "Mouse Left"
forward = "W"
left = "A"
pause = "Escape"
right = "D"

[display]
height = 1080
vsync = false
width = 1920
window = "windowed"

[hud]
crosshair = true

[look]
field_of_view = 70.0
invert_mouse_y = false
invert_pad_y = false
mouse_sensitivity_x = 1.0
mouse_sensitivity_y = 1.0
pad_dead_zone = 0.2
pad_look_speed = 150.0

[sound]
effects = 100
master = 100
voices = 100
EOF
settings_seed <<'EOF'
# Edited by hand: out of range, wrong kinds, unknown names and keys the game does not know.
display = { width = 640, height = 99999, window = 'Borderless', vsync = 1 }
look.field_of_view = 1e3
look.mouse_sensitivity_x = -inf
look.pad_dead_zone = nan
sound.master = 37.5
[controls]
fire = "mouse x2"
pause = "Left Shift"
jump = "Space"
forward = 7
[mods.zombies]
speed = [1, 2.5, "fast", 1979-05-27T07:32:00Z]
EOF
settings_seed <<'EOF'
[best]
round = 17
reached = 2024-05-01T14:00:00+02:00
EOF
settings_seed <<'EOF'
[best]
round = -4294967297
reached = 1969-12-31 23:59:59.999
EOF

# Regression inputs made from the pack's own assets are derived here, not committed: the assets
# are generated at build time, and so are these.
DERIVED=$FUZZ_BUILD/derived
rm -rf "$DERIVED"
mkdir -p "$DERIVED/regressions/clip_import" "$DERIVED/library-findings/mesh_import"
asset_of() { # name
  local name start end crc
  IFS=$'\t' read -r name start end crc < <(records | awk -F'\t' -v n="$1" '$1 == n' | head -1)
  asset_bytes "$start" "$end"
}
# A clip whose tick rate does not fit an int (it was converted without a check).
asset_of ZombieIdle | awk '/^AnimTicksPerSecond/ { print; getline; print " 3000000000;"; next } { print }' \
  >"$DERIVED/regressions/clip_import/tick-rate-beyond-int.x"
# assimp's leak on a cut .x file (fuzz/library-findings/README.md); reproduced by hand, not run.
asset_of Triangle | head -c 100 >"$DERIVED/library-findings/mesh_import/x-frame-cut-short-leak.x"

# --- Runs ---------------------------------------------------------------------------------------

export ZORBULON_FUZZ_PACK=$MAIN_BUILD/bin
# Leaks inside the libraries on malformed files are theirs (fuzz/lsan.supp says which).
export LSAN_OPTIONS="suppressions=$ROOT/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
BIN=$FUZZ_BUILD/bin
WORK=$FUZZ_BUILD/work
FINDINGS=$FUZZ_BUILD/findings
rm -rf "$WORK" "$FINDINGS"
mkdir -p "$WORK" "$FINDINGS"
# One target: its regression inputs, then the fuzzing run. Writes the summary line to
# $t.summary and, on a finding, what to show of it to $t.report; exits 1 on a finding.
fuzz_target() { # target
  local t=$1 log=$FUZZ_BUILD/$1.log rc=0 t0=$SECONDS failed=0 f runs cov found
  : >"$FUZZ_BUILD/$t.report"
  rm -f "$FUZZ_BUILD/$t.summary"
  # Inputs that once failed run first, each on its own.
  local regressions=()
  for f in "$ROOT"/fuzz/regressions/"$t"/* "$DERIVED"/regressions/"$t"/*; do
    [ -e "$f" ] && regressions+=("$f")
  done
  if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$BIN/fuzz_$t" "${regressions[@]}" >"$FUZZ_BUILD/$t.regressions.log" 2>&1; then
      {
        echo "== $t: a regression input fails again (see $FUZZ_BUILD/$t.regressions.log)"
        tail -n 30 "$FUZZ_BUILD/$t.regressions.log"
      } >>"$FUZZ_BUILD/$t.report"
      failed=1
    fi
  fi

  # A copy of the seeds: what the run adds stays in the build directory.
  cp -r "$CORPUS/$t" "$WORK/$t"
  mkdir -p "$FINDINGS/$t"
  t0=$SECONDS
  "$BIN/fuzz_$t" -seed=1 -runs="${RUNS[$t]}" -max_len="${MAX_LEN[$t]}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$FINDINGS/$t/" "$WORK/$t" >"$log" 2>&1 || rc=$?
  # A run stopped early may print neither.
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -1) || true
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2) || true
  found=$(find "$FINDINGS/$t" -type f | wc -l)
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
  printf '%-18s %8s inputs %5d s  cov %-5s findings %d\n' "$t" "${runs:-?}" $((SECONDS - t0)) "${cov:-?}" "$found" \
    >"$FUZZ_BUILD/$t.summary"
  if [ "$found" -ne 0 ]; then
    {
      echo "== $t: finding (exit $rc); inputs in $FINDINGS/$t, log $log"
      grep -E -A 12 '^==[0-9]+==ERROR|runtime error|^SUMMARY|ERROR: libFuzzer' "$log" | head -n 60 || true
    } >>"$FUZZ_BUILD/$t.report"
    failed=1
  fi
  return $failed
}

# The targets run side by side, one per core (FUZZ_JOBS overrides): each run is single-threaded
# and its inputs depend only on its seed, so the findings are those of running them one by one.
# Each writes to files of its own; what they found is printed below in the targets' order.
jobs_max=${FUZZ_JOBS:-$(nproc)}
status=0
start_all=$SECONDS
running=0
for t in "${TARGETS[@]}"; do
  if [ "$running" -ge "$jobs_max" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  fuzz_target "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done

for t in "${TARGETS[@]}"; do
  cat "$FUZZ_BUILD/$t.report" 2>/dev/null || true
done
echo "== fuzz summary ($((SECONDS - start_all)) s of runs, $jobs_max at a time)"
for t in "${TARGETS[@]}"; do
  if [ ! -f "$FUZZ_BUILD/$t.summary" ]; then
    printf '%-18s did not finish; log %s\n' "$t" "$FUZZ_BUILD/$t.log"
    status=1
  fi
  cat "$FUZZ_BUILD/$t.summary" 2>/dev/null || true
done
exit $status
