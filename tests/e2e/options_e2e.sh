#!/usr/bin/env bash
# The player's options last: the real game under Xvfb on lavapipe with validation on, run twice
# on one profile folder. The first run sets the field of view and the master volume in the
# options and exits from the menu; the second run must show the same options, a wider view, and
# closes the way a window manager does.
# Usage: options_e2e.sh <zorbulon executable> <xclose tool> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

game=$1
xclose=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/*.log

WIDTH=1280
HEIGHT=720
MENU_X=$(((WIDTH - 300) / 2))
MENU_Y=$(((HEIGHT - 150) / 2))
# The options panel: 560 x 700, centred, its sliders 310 wide from 8 pixels in. A click at a
# slider's end sets its limit.
PANEL_X=$(((WIDTH - 560) / 2))
PANEL_Y=$(((HEIGHT - 700) / 2))
PANEL="560x700+$PANEL_X+$PANEL_Y"
FOV_SLIDER_END="$((PANEL_X + 316)) $((PANEL_Y + 200))"
MASTER_SLIDER_START="$((PANEL_X + 10)) $((PANEL_Y + 247))"

cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT

start_xvfb 1920x1080x24 || exit 1
use_lavapipe_with_validation "$out/validation.log"
use_private_profile "$out"
export SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
settings=$XDG_CONFIG_HOME/zorbulon/settings.toml

# Starts the game, presses "Start Game" (the launcher keeps the last size: 1280 x 720 is typed
# only the first time) and waits for its first rendered frame; leaves the window in $window.
start_game() { # run name
  (cd "$(dirname "$game")" && exec timeout 600 "$game") >"$out/stdout_$1.txt" 2>"$out/stderr_$1.txt" &
  game_pid=$!
  local launcher
  launcher=$(wait_window "Choose Resolution" 120 "$game_pid") || { fail "no launcher window"; return 1; }
  sleep 1
  [ "$1" = first ] && type_launcher_size "$launcher" $WIDTH $HEIGHT
  click_at "$launcher" $LAUNCHER_START
  window=$(wait_window Zorbulon 120 "$game_pid") || { fail "no game window"; return 1; }
  local t sd
  for t in $(seq 1 240); do
    screenshot "$window" "$out/frame.png" 2>/dev/null
    if [ -s "$out/frame.png" ]; then
      read -r _ sd < <(region_stats "$out/frame.png" "${WIDTH}x${HEIGHT}+0+0")
      awk "BEGIN { exit !($sd > 0.05) }" && return 0
    fi
    sleep 1
  done
  fail "no rendered frame"
  return 1
}

# A click, then time for a frame or two (frames are slow on the CPU).
click() { click_at "$window" "$@"; sleep 2; }

# The pause menu, then its Options (the second button).
open_options() { # screenshot
  open_menu || return 1
  click $((MENU_X + 30)) $((MENU_Y + 37 + 23))
  away_and_shoot "$1"
}

# The pointer off the panel (a hovered control is drawn lighter), then a screenshot.
away_and_shoot() {
  xdotool mousemove --window "$window" 5 $((HEIGHT - 5))
  sleep 2
  screenshot "$window" "$1"
}

open_menu() { # presses Escape until the pause menu's blue title bar shows
  local attempt
  for attempt in 1 2 3; do
    key "$window" Escape
    for _ in $(seq 1 20); do
      sleep 1
      screenshot "$window" "$out/menu.png"
      menu_shown_in "$out/menu.png" $WIDTH $HEIGHT && return 0
    done
  done
  fail "Escape did not open the pause menu"
  return 1
}

log "first run"
start_game first || exit 1
sleep 2
screenshot "$window" "$out/first_view.png"
open_options "$out/options_before.png"
click $FOV_SLIDER_END
click $MASTER_SLIDER_START
# Escape back to the pause menu and in again: the panel as it opens, to compare with the next
# run's.
key "$window" Escape
sleep 2
click $((MENU_X + 30)) $((MENU_Y + 37 + 23))
away_and_shoot "$out/options_set.png"
key "$window" Escape
sleep 2
click $((MENU_X + 30)) $((MENU_Y + 37 + 23 * 3)) # Exit
timeout 60 tail --pid="$game_pid" -f /dev/null
wait "$game_pid"
check "first run exits with 0" "$? == 0"
game_pid=

grep -q '^field_of_view = 110' "$settings" && log "ok: the field of view was saved" ||
  fail "no field_of_view = 110 in $settings: $(cat "$settings" 2>/dev/null)"
grep -q '^master = 0$' "$settings" && log "ok: the master volume was saved" ||
  fail "no master = 0 in $settings"
changed=$(compare -metric AE "$out/options_before.png" "$out/options_set.png" null: 2>&1)
check "the options changed on screen" "${changed%% *} > 100"

log "second run"
start_game second || exit 1
sleep 2
screenshot "$window" "$out/second_view.png"
open_options "$out/options_again.png"
# The same values in the same panel: the two pictures of it are the same.
for f in options_set options_again; do convert "$out/$f.png" -crop "$PANEL" +repage "$out/${f}_panel.png"; done
differ=$(compare -metric AE "$out/options_set_panel.png" "$out/options_again_panel.png" null: 2>&1)
check "the options show the same values after a restart of the game" "${differ%% *} < 50"
# A 110-degree view makes what stands ahead smaller: the start view changed well beyond the
# wandering lights and the HUD.
view=$(compare -metric AE -fuzz 10% "$out/first_view.png" "$out/second_view.png" null: 2>&1)
check "the view is the wider one" "${view%% *} > 0.2 * $WIDTH * $HEIGHT"

log "close the window"
"$xclose" "$window"
timeout 60 tail --pid="$game_pid" -f /dev/null
wait "$game_pid"
check "second run exits with 0" "$? == 0"
game_pid=

errors=$(validation_errors "$out/validation.log")
check "no validation errors or warnings" "$errors == 0"
[ "$errors" != "0" ] && head -c 20000 "$out/validation.log" >&2
for f in "$out"/stderr_*.txt; do [ -s "$f" ] && { echo "--- $f"; head -c 4000 "$f"; }; done
exit $E2E_FAIL
