# Helpers for end-to-end runs of the real executable under Xvfb with lavapipe and validation on.
# Sourced by the scenario scripts; every function fails the script loudly.

E2E_FAIL=0

log() { echo "[e2e $(date +%T)] $*"; }
fail() { echo "[e2e] FAIL: $*" >&2; E2E_FAIL=1; }

# Starts a private X server on a display it picks itself (no clash with other servers on the
# machine) and exports DISPLAY. -noreset: by default an X server resets when its last client
# leaves, and a client that connects meanwhile has its connection dropped. The readiness probe
# below is such a last client, and so is the launcher closing its window: the game's connection
# then failed now and then, and SDL quietly fell back to a video driver without windows (an
# invisible launcher) or without Vulkan (no game window).
start_xvfb() {
  local size=${1:-1920x1080x24} numberFile displayNumber=""
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$numberFile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    if [ -z "$displayNumber" ] && [ -s "$numberFile" ]; then
      displayNumber=$(head -1 "$numberFile")
      export DISPLAY=:$displayNumber
    fi
    if [ -n "$displayNumber" ] && xdpyinfo >/dev/null 2>&1; then
      rm -f "$numberFile"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$numberFile"
  kill $XVFB_PID 2>/dev/null
  echo "could not start Xvfb" >&2
  return 1
}

stop_xvfb() {
  [ -n "${WM_PID:-}" ] && kill $WM_PID 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null
  wait $XVFB_PID 2>/dev/null || true
}

# A window manager on the X server: fullscreen is a request to it (_NET_WM_STATE_FULLSCREEN), and
# without one nobody answers. Returns once it has taken the screen (it names itself on the root
# window).
start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    kill -0 $WM_PID 2>/dev/null || break
    sleep 0.1
  done
  echo "could not start the window manager" >&2
  return 1
}

# The player's settings and records in a folder of the run's own ($1/config, $1/data), emptied
# first: a run neither reads what an earlier one left nor writes into the home directory.
use_private_profile() {
  rm -rf "$1/config" "$1/data"
  mkdir -p "$1/config" "$1/data"
  export XDG_CONFIG_HOME=$1/config XDG_DATA_HOME=$1/data
}

# Types a size into the launcher's Width and Height fields.
type_launcher_size() { # launcher-window width height
  local field
  for field in "$LAUNCHER_WIDTH_FIELD $2" "$LAUNCHER_HEIGHT_FIELD $3"; do
    set -- "$1" $field
    xdotool mousemove --window "$1" "$2" "$3" click --repeat 2 1
    sleep 0.3
    xdotool key --window "$1" ctrl+a
    xdotool type --window "$1" --delay 40 "$4"
    xdotool key --window "$1" Return
    sleep 0.3
  done
}

# True when the game's 300 x 150 menu, centred in a window of $2 x $3, is on screen in the
# screenshot $1: its title bar is ImGui's blue.
menu_shown_in() { # screenshot width height
  local r b
  read -r r _ b < <(region_rgb "$1" "200x8+$((($2 - 300) / 2 + 90))+$((($3 - 150) / 2 + 5))")
  awk "BEGIN { exit !($b > 0.35 && $b > $r + 0.15) }"
}

# Points in the launcher window: the middle of the Width and Height fields and of the "Start Game"
# button, in its 360 x 170 panel centred in the 1280 x 720 window (at 460, 275).
LAUNCHER_WIDTH_FIELD="540 334"
LAUNCHER_HEIGHT_FIELD="540 357"
LAUNCHER_START="505 403"

# Lavapipe only, validation on, messages into $1. Synchronization checks are included unless $2
# is "without-sync": the layer (1.3.239) keeps the access log of every submission that wrote to
# any resource ever made, destroyed or not, so a memory soak would measure the layer's growth.
use_lavapipe_with_validation() {
  local log_file=$1 sync=${2:-with-sync} settings_dir enables=""
  settings_dir=$(dirname "$log_file")
  # Mesa 25 names the manifest lvp_icd.json; older packages lvp_icd.<arch>.json.
  local icd
  for icd in /usr/share/vulkan/icd.d/lvp_icd.json /usr/share/vulkan/icd.d/lvp_icd.x86_64.json; do
    [ -e "$icd" ] && break
  done
  export VK_DRIVER_FILES=$icd
  export VK_ICD_FILENAMES=$icd
  export VK_INSTANCE_LAYERS=VK_LAYER_KHRONOS_validation
  if [ "$sync" != without-sync ]; then
    enables="khronos_validation.enables = VK_VALIDATION_FEATURE_ENABLE_SYNCHRONIZATION_VALIDATION_EXT,VALIDATION_CHECK_ENABLE_SYNCHRONIZATION_VALIDATION_QUEUE_SUBMIT"
  fi
  cat >"$settings_dir/vk_layer_settings.txt" <<SETTINGS
khronos_validation.report_flags = error,warn
khronos_validation.debug_action = VK_DBG_LAYER_ACTION_LOG_MSG
$enables
khronos_validation.log_filename = $log_file
SETTINGS
  export VK_LAYER_SETTINGS_PATH=$settings_dir
  : >"$log_file"
}

# Waits (up to $2 seconds) for a window titled $1 and prints its id; gives up at once when the
# process $3 (if given) has ended.
wait_window() {
  local title=$1 timeout=${2:-120} pid=${3:-} id=""
  for _ in $(seq 1 $((timeout * 5))); do
    [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null && return 1
    id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

click_at() { # window x y
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.1
  xdotool click 1
}

key() { xdotool key --window "$1" "$2"; }

hold_key() { # window key seconds
  xdotool keydown --window "$1" "$2"
  sleep "$3"
  xdotool keyup --window "$1" "$2"
}

# A window that went away must not hang the run.
screenshot() { timeout 20 import -window "$1" "$2"; }

# Mean and standard deviation (0..1) of a region WxH+X+Y of an image.
region_stats() { convert "$1" -crop "$2" +repage -colorspace gray -format "%[fx:mean] %[fx:standard_deviation]" info:; }
# Mean red, green and blue (0..1) of a region.
region_rgb() { convert "$1" -crop "$2" +repage -format "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]" info:; }

# awk comparisons on floats: check "$value > $limit" style expressions.
check() { # description expression
  if awk "BEGIN { exit !($2) }"; then log "ok: $1 ($2)"; else fail "$1 ($2)"; fi
}

# What a game that shows no window is doing: its standard error, its threads' stacks, and the
# windows the X server knows of. For a failure that must be explained, not just retried.
diagnose_game() { # pid output-directory [executable]
  local pid=$1 out=$2 game=${3:-} child core status
  child=$(pgrep -P "$pid" | head -1)
  if kill -0 "$pid" 2>/dev/null; then
    echo "--- game process: $(ps -o pid,stat,etime,cmd -p "${child:-$pid}" 2>/dev/null | tail -1)" >&2
  else
    wait "$pid" 2>/dev/null
    status=$?
    echo "--- the game has ended, exit status $status" >&2
  fi
  [ -s "$out/stderr.txt" ] && { echo "--- game stderr"; head -c 4000 "$out/stderr.txt"; } >&2
  # A crash leaves a core in the game's directory (core files are switched on for the run).
  if [ -n "$game" ]; then
    for core in "$(dirname "$game")"/core*; do
      [ -e "$core" ] || continue
      mv "$core" "$out/core"
      timeout 120 gdb -batch -ex "thread apply all bt 25" "$game" "$out/core" >"$out/crash.txt" 2>&1
      echo "--- crash" >&2
      grep -A30 -m1 "SIG\|signal" "$out/crash.txt" >&2
      head -c 12000 "$out/crash.txt" >"$out/crash_head.txt"
      rm -f "$out/core"
    done
  fi
  xwininfo -root -tree 2>&1 | head -40 >&2
  if command -v gdb >/dev/null && [ -n "$child" ]; then
    timeout 60 gdb -batch -p "$child" -ex "thread apply all bt 20" >"$out/stacks.txt" 2>&1
    head -c 6000 "$out/stacks.txt" >&2
  fi
}

# Starts the game in directory $2 on a private X server with lavapipe and validation, presses the
# launcher's "Start Game" and waits (two minutes at most) for the game to end; its exit status is
# left in GAME_STATUS, its output in $3. Fails when no launcher shows or the game keeps running.
run_game_to_its_end() { # game directory output-directory
  local game=$1 dir=$2 out=$3 pid launcher
  start_xvfb 1920x1080x24 || return 1
  use_lavapipe_with_validation "$out/validation.log"
  use_private_profile "$out"
  export SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
  (cd "$dir" && exec timeout 300 "$game") >"$out/stdout.txt" 2>"$out/stderr.txt" &
  pid=$!
  launcher=$(wait_window "Choose Resolution" 120 "$pid") || {
    fail "no launcher window"
    kill "$pid" 2>/dev/null
    return 1
  }
  sleep 1
  click_at "$launcher" $LAUNCHER_START
  timeout 120 tail --pid="$pid" -f /dev/null
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "the game kept running"
    return 1
  fi
  wait "$pid"
  GAME_STATUS=$?
}

validation_errors() { grep -cE "Validation (Error|Warning)|VUID-" "$1" 2>/dev/null || true; }
