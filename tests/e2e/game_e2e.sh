#!/usr/bin/env bash
# End-to-end runs of the real game under Xvfb on lavapipe with validation on.
#   play:  the launcher (typing a resolution, "Start Game"), the first frame, a shot, 30 s behind
#          the pause menu and Resume (the game goes on where it stopped), walking with W/A/S/D and
#          the mouse, hiding and showing the window (it comes back paused), Alt+Enter to the screen's
#          size and back, a resize (the menu stays centred), the menu's Restart, and finally Exit.
#          Runs with a window manager, which fullscreen needs.
#   close: start, render, then close the window the way a window manager does.
# Fails on a wrong exit code, a frame that does not show the game, or any validation message.
# Screenshots stay in the output directory for people to look at.
# Usage: game_e2e.sh play|close <zorbulon executable> <xclose tool> <output directory>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

mode=$1
game=$2
xclose=$3
out=$4
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/*.log

# A small window keeps software rendering quick. The menu is the game's 300 x 150 window, centred.
WIDTH=1280
HEIGHT=720
MENU_W=300
MENU_H=150
MENU_X=$(((WIDTH - MENU_W) / 2))
MENU_Y=$(((HEIGHT - MENU_H) / 2))
SCREEN_W=1920
SCREEN_H=1080

cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT

start_xvfb ${SCREEN_W}x${SCREEN_H}x24 || exit 1
[ "$mode" = play ] && { start_window_manager || exit 1; }
use_lavapipe_with_validation "$out/validation.log"
use_private_profile "$out"
export SDL_AUDIODRIVER=dummy
export ALSOFT_DRIVERS=null

# The watchdog ends a game that hangs well before the test's own time limit. A crash leaves a
# core for the diagnosis.
rm -f "$(dirname "$game")"/core*
(cd "$(dirname "$game")" && ulimit -c unlimited && exec timeout 600 "$game") >"$out/stdout.txt" 2>"$out/stderr.txt" &
game_pid=$!

# CPU seconds the game has used (user + system): the watchdog's child process.
cpu_seconds() {
  local pid
  pid=$(pgrep -P "$game_pid" | head -1)
  awk '{ print ($14 + $15) / 100 }' "/proc/${pid:-$game_pid}/stat" 2>/dev/null || echo 0
}

# Polls (up to $4 seconds) until the window has the size $2 x $3.
wait_size() { # window width height timeout
  local w h
  for _ in $(seq 1 $(($4 * 2))); do
    read -r w h < <(xdotool getwindowgeometry "$1" | awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
    [ "$w" = "$2" ] && [ "$h" = "$3" ] && return 0
    sleep 0.5
  done
  log "the window is $w x $h"
  return 1
}

# Polls screenshots until the window shows a rendered frame (not one flat colour).
wait_for_frame() { # window file timeout
  local t
  for t in $(seq 1 "$3"); do
    kill -0 "$game_pid" 2>/dev/null || return 1
    screenshot "$1" "$2" 2>/dev/null
    if [ -s "$2" ]; then
      read -r _ sd < <(region_stats "$2" "${WIDTH}x${HEIGHT}+0+0")
      awk "BEGIN { exit !($sd > 0.05) }" && return 0
    fi
    sleep 1
  done
  return 1
}

# Centre of the menu's button number $1 (0 first): below the title bar and padding, one ImGui
# button row each.
menu_button() { echo "$((MENU_X + 30)) $((MENU_Y + 37 + 23 * $1))"; }

# True when the menu window is on screen: its title bar is ImGui's blue.
menu_shown() { menu_shown_in "$1" $WIDTH $HEIGHT; } # screenshot

# True when the menu has a third button: the pause menu (Resume, Restart, Exit); the game-over
# menu has two (Restart, Exit).
menu_is_pause() { # screenshot
  read -r r _ b < <(region_rgb "$1" "20x6+$((MENU_X + 12))+$((MENU_Y + 81))")
  awk "BEGIN { exit !($b > 0.3 && $b > $r + 0.1) }"
}

# Share of pixels in the colour of the bubble and its burning puddle (strong magenta-pink).
bubble_share() { convert "$1" -resize 320x180 -fx "(r > 0.6 && g < 0.35 && b > 0.3) ? 1 : 0" -format "%[fx:mean]" info:; }

await_menu() { # window screenshot-file; waits up to 20 s for a menu asked for already
  for _ in $(seq 1 20); do
    sleep 1
    screenshot "$1" "$2"
    menu_shown "$2" && return 0
  done
  return 1
}

open_menu() { # window screenshot-file; presses Escape until the menu shows (frames are slow)
  local attempt
  screenshot "$1" "$2"
  menu_shown "$2" && return 0 # already up (the window came back paused)
  for attempt in 1 2 3; do
    kill -0 "$game_pid" 2>/dev/null || return 1
    key "$1" Escape
    await_menu "$1" "$2" && return 0
  done
  return 1
}

# Opens whichever menu the game offers and presses its Restart (or Exit): alive, Escape opens
# the pause menu (Resume, Options, Restart, Exit); dead, the game-over menu (Restart, Exit) comes
# by itself.
press_in_menu() { # window screenshot-file Restart|Exit
  local index
  open_menu "$1" "$2" || return 1
  if menu_is_pause "$2"; then
    [ "$3" = Restart ] && index=2 || index=3
  else
    log "the player has died: using the game-over menu"
    [ "$3" = Restart ] && index=0 || index=1
  fi
  click_at "$1" $(menu_button "$index")
}

log "launcher"
launcher=$(wait_window "Choose Resolution" 120 "$game_pid") || {
  fail "no launcher window"
  diagnose_game "$game_pid" "$out" "$game"
  exit 1
}
sleep 1
screenshot "$launcher" "$out/launcher.png"
# Width and Height fields, then the "Start Game" button.
type_launcher_size "$launcher" $WIDTH $HEIGHT
click_at "$launcher" $LAUNCHER_START

log "game window"
window=$(wait_window Zorbulon 120 "$game_pid") || {
  fail "no game window"
  diagnose_game "$game_pid" "$out" "$game"
  exit 1
}
read -r gw gh < <(xdotool getwindowgeometry "$window" | awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
check "window has the typed size" "$gw == $WIDTH && $gh == $HEIGHT"
wait_for_frame "$window" "$out/first_frame.png" 240 || fail "no rendered frame"
sleep 2
screenshot "$window" "$out/first_frame.png"

read -r sky_mean _ < <(region_stats "$out/first_frame.png" "${WIDTH}x150+0+60")
read -r sky_r _ sky_b < <(region_rgb "$out/first_frame.png" "${WIDTH}x150+0+60")
read -r low_mean low_sd < <(region_stats "$out/first_frame.png" "${WIDTH}x200+0+$((HEIGHT - 200))")
hud_max=$(convert "$out/first_frame.png" -crop 300x40+10+15 +repage -colorspace gray -format "%[fx:maxima]" info:)
check "night sky above the horizon" "$sky_mean > 0.01 && $sky_mean < 0.35 && $sky_b > $sky_r"
check "lit, textured ground below" "$low_mean > 0.04 && $low_sd > 0.03"
check "round counter text in the top-left corner" "$hud_max > 0.8"

if [ "$mode" = close ]; then
  log "close the window"
  "$xclose" "$window"
else
  # The first zombies reach the player within about a minute and kill him soon after: shoot and
  # pause while he is surely alive.
  log "look down and shoot"
  xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2))
  sleep 0.5
  for _ in 1 2 3 4; do
    xdotool mousemove_relative -- 40 60 # turn right and look down at the ground ahead
    sleep 0.5
  done
  sleep 2
  screenshot "$window" "$out/before_shot.png"
  before=$(bubble_share "$out/before_shot.png")
  xdotool click 1
  sleep 1.5
  screenshot "$window" "$out/shot.png"
  # The shot lives five seconds of game time, which runs as fast as the wall clock once frames
  # are quick: pause at once, and judge the shot while paused.
  key "$window" Escape
  log "pause menu, 30 s"
  await_menu "$window" "$out/pause_menu.png" || open_menu "$window" "$out/pause_menu.png" ||
    fail "Escape did not open the pause menu"
  after=$(bubble_share "$out/shot.png")
  check "the shot's bubble or puddle shows" "$after > $before + 0.003"
  menu_is_pause "$out/pause_menu.png" && log "ok: pause menu with Resume, Restart and Exit" ||
    fail "the menu Escape opened is not the pause menu"
  sleep 30
  screenshot "$window" "$out/pause_menu_30s.png"
  # Nothing moves behind the menu: the frame after 30 s is the frame it paused on.
  changed=$(compare -metric AE -fuzz 2% "$out/pause_menu.png" "$out/pause_menu_30s.png" null: 2>&1)
  check "the paused frame stands still for 30 s" "${changed%% *} < 0.001 * $WIDTH * $HEIGHT"
  click_at "$window" $(menu_button 0) # Resume
  sleep 0.5
  wait_for_frame "$window" "$out/resumed.png" 20 # the first screenshot that shows a frame
  menu_shown "$out/resumed.png" && fail "the menu stayed after Resume"
  # The shot lives five seconds of game time: after 30 s of pause its puddle is still burning,
  # and the round is still the first.
  resumed=$(bubble_share "$out/resumed.png")
  check "the shot's puddle outlived the pause" "$resumed > $before + 0.003"
  # The counter's white text, drawn over everything: its pixels are white in every frame that
  # shows the same round. A wandering light's white marker behind the counter only adds white,
  # so the text is what is white in both the first frame and the shot; after the pause every one
  # of those pixels must still be white (round 2 would miss most of the 1's strokes).
  for f in first_frame shot resumed; do
    convert "$out/$f.png" -crop 300x40+10+15 +repage -colorspace gray -threshold 85% "$out/round_$f.png"
  done
  convert "$out/round_first_frame.png" "$out/round_shot.png" -compose multiply -composite "$out/round_text.png"
  text_pixels=$(convert "$out/round_text.png" -format '%[fx:round(mean*w*h)]' info:)
  missing=$(convert "$out/round_text.png" \( "$out/round_resumed.png" -negate \) -compose multiply -composite \
    -format '%[fx:round(mean*w*h)]' info:)
  check "the round counter reads the same after the pause" "$text_pixels > 300 && $missing < 10"

  log "walk"
  for k in w a s d; do hold_key "$window" "$k" 1.5; done
  log "hide and show"
  xdotool windowunmap "$window"
  sleep 2
  cpu_before=$(cpu_seconds)
  sleep 5
  cpu_after=$(cpu_seconds)
  check "hidden window does not spin a core" "($cpu_after - $cpu_before) / 5 < 0.5"
  xdotool windowmap "$window"
  sleep 2
  wait_for_frame "$window" "$out/after_show.png" 240 || fail "no frame after showing the window again"
  sleep 1
  screenshot "$window" "$out/after_show.png"
  menu_shown "$out/after_show.png" && menu_is_pause "$out/after_show.png" &&
    log "ok: the window came back paused" || fail "the hidden game did not wait behind its pause menu"

  # Paused (or dead) behind the menu: the keys switch all the same, and their Enter reaches
  # neither the menu nor the game.
  log "Alt+Enter: fullscreen and back"
  key "$window" alt+Return
  wait_size "$window" $SCREEN_W $SCREEN_H 30 || fail "Alt+Enter did not make the window the screen's size"
  key "$window" alt+Return
  wait_size "$window" $WIDTH $HEIGHT 30 || fail "a second Alt+Enter did not bring back the ${WIDTH} x ${HEIGHT} window"

  log "resize"
  WIDTH=1600
  HEIGHT=900
  MENU_X=$(((WIDTH - MENU_W) / 2))
  MENU_Y=$(((HEIGHT - MENU_H) / 2))
  xdotool windowsize "$window" $WIDTH $HEIGHT
  wait_size "$window" $WIDTH $HEIGHT 30 || fail "the window was not resized"
  wait_for_frame "$window" "$out/resized.png" 120 || fail "no frame after the resize"
  # Frames are slow: the one shot may still be of the old size, drawn before the resize.
  for _ in $(seq 1 30); do
    screenshot "$window" "$out/resized.png"
    menu_shown "$out/resized.png" && break
    sleep 1
  done
  menu_shown "$out/resized.png" && log "ok: the menu is centred in the resized window" ||
    fail "no menu centred in the resized window (Enter reached it, or it kept the old centre)"

  log "restart"
  press_in_menu "$window" "$out/restart_menu.png" Restart || fail "no menu to restart from"
  sleep 5
  wait_for_frame "$window" "$out/after_restart.png" 240 || fail "no frame after restart"
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended on restart"

  log "exit"
  press_in_menu "$window" "$out/exit_menu.png" Exit || fail "no menu to exit from"
fi

for _ in $(seq 1 120); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$game_pid" 2>/dev/null; then
  fail "the game did not exit"
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
