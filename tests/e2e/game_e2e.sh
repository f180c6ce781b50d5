#!/usr/bin/env bash
# End-to-end run of the real game under Xvfb on lavapipe with validation on: the launcher (typing a
# resolution and pressing "Start Game"), rendered frames, the in-game menu, a restart, hiding and
# showing the window, and closing it. Fails on a wrong exit code, a frame that is not the game, or
# any validation message. Screenshots stay in the output directory for people to look at.
# Usage: game_e2e.sh <zorbulon executable> <xclose tool> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

game=$1
xclose=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/*.log

# A small window keeps software rendering quick; the menu sits centred in it.
WIDTH=1280
HEIGHT=720
MENU_W=300
MENU_H=150

cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT

start_xvfb 1920x1080x24 || exit 1
use_lavapipe_with_validation "$out/validation.log"
export SDL_AUDIODRIVER=dummy
export ALSOFT_DRIVERS=null

(cd "$(dirname "$game")" && exec "$game") >"$out/stdout.txt" 2>"$out/stderr.txt" &
game_pid=$!

# CPU seconds the game has used (user + system).
cpu_seconds() { awk '{ print ($14 + $15) / 100 }' "/proc/$game_pid/stat" 2>/dev/null || echo 0; }

# Polls screenshots until the window shows a rendered frame (not one flat colour).
wait_for_frame() { # window file timeout
  local t
  for t in $(seq 1 "$3"); do
    screenshot "$1" "$2" 2>/dev/null
    if [ -s "$2" ]; then
      read -r _ sd < <(region_stats "$2" "${WIDTH}x${HEIGHT}+0+0")
      awk "BEGIN { exit !($sd > 0.05) }" && return 0
    fi
    sleep 1
  done
  return 1
}

# Centre of the menu's button number $1 (0 first): the window's title bar, padding and one
# ImGui button row each.
menu_button() {
  local x0=$(((WIDTH - MENU_W) / 2)) y0=$(((HEIGHT - MENU_H) / 2))
  echo "$((x0 + 30)) $((y0 + 37 + 23 * $1))"
}

log "launcher"
launcher=$(wait_window "Choose Resolution" 60) || { fail "no launcher window"; exit 1; }
sleep 1
screenshot "$launcher" "$out/launcher.png"
# Width and Height fields, then the "Start Game" button, in the 300 x 150 panel at (490, 285).
for field in "570 321 $WIDTH" "570 344 $HEIGHT"; do
  set -- $field
  xdotool mousemove --window "$launcher" "$1" "$2" click --repeat 2 1
  sleep 0.3
  xdotool key --window "$launcher" ctrl+a
  xdotool type --window "$launcher" --delay 40 "$3"
  xdotool key --window "$launcher" Return
  sleep 0.3
done
click_at "$launcher" 537 367

log "game window"
window=$(wait_window Zorbulon 120) || { fail "no game window"; exit 1; }
read -r gw gh < <(xdotool getwindowgeometry "$window" | awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
check "window has the typed size" "$gw == $WIDTH && $gh == $HEIGHT"

wait_for_frame "$window" "$out/first_frame.png" 240 || fail "no rendered frame"
sleep 3
screenshot "$window" "$out/first_frame.png"
read -r sky_mean sky_sd < <(region_stats "$out/first_frame.png" "${WIDTH}x120+0+0")
read -r sky_r sky_g sky_b < <(region_rgb "$out/first_frame.png" "${WIDTH}x120+0+0")
read -r low_mean low_sd < <(region_stats "$out/first_frame.png" "${WIDTH}x300+0+$((HEIGHT - 300))")
check "sky at the top is dark night" "$sky_mean > 0.01 && $sky_mean < 0.35"
check "sky is blue, not grey or black" "$sky_b > $sky_r"
check "ground below is lit and textured" "$low_mean > 0.05 && $low_sd > 0.03"

log "menu"
key "$window" Escape
sleep 4
screenshot "$window" "$out/menu.png"
read -r menu_mean _ < <(region_stats "$out/menu.png" "${MENU_W}x${MENU_H}+$(((WIDTH - MENU_W) / 2))+$(((HEIGHT - MENU_H) / 2))")
read -r back_mean _ < <(region_stats "$out/first_frame.png" "${MENU_W}x${MENU_H}+$(((WIDTH - MENU_W) / 2))+$(((HEIGHT - MENU_H) / 2))")
check "menu window drawn over the frame" "$menu_mean != $back_mean"

log "restart"
click_at "$window" $(menu_button "${RESTART_BUTTON:-0}")
sleep 5
wait_for_frame "$window" "$out/after_restart.png" 240 || fail "no frame after restart"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on restart"

log "hide and show"
xdotool windowunmap "$window"
sleep 2
before=$(cpu_seconds)
sleep 5
after=$(cpu_seconds)
check "hidden window does not spin a core" "($after - $before) / 5 < 0.5"
xdotool windowmap "$window"
sleep 2
wait_for_frame "$window" "$out/after_show.png" 240 || fail "no frame after showing the window again"

log "close"
"$xclose" "$window"
for _ in $(seq 1 120); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$game_pid" 2>/dev/null; then
  fail "the game did not exit after its window was closed"
else
  wait "$game_pid"
  status=$?
  check "exit code 0" "$status == 0"
fi
game_pid=

errors=$(validation_errors "$out/validation.log")
check "no validation errors or warnings" "$errors == 0"
[ "$errors" != "0" ] && head -c 20000 "$out/validation.log" >&2
[ -s "$out/stderr.txt" ] && { echo "--- game stderr"; head -c 4000 "$out/stderr.txt"; }

exit $E2E_FAIL
