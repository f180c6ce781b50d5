#!/usr/bin/env bash
# The game as a user gets it: installed with `cmake --install` into a temporary prefix, or built
# into a .deb and unpacked. Checks the layout (command, executable, pack, menu entry, icon) and,
# for the installed copy, plays the end-to-end `close` run from it: the command must find its pack
# from any working directory, and writes nothing into its installed tree.
# Usage: installed_game_test.sh prefix|deb <build dir> <xclose tool> <output directory>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=$1
build=$(cd "$2" && pwd)
xclose=$3
out=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

fail() { echo "FAIL: $*" >&2; exit 1; }

check_layout() { # root of the installed tree (the prefix)
  local root=$1
  [ -x "$root/games/zorbulon" ] || fail "no command games/zorbulon"
  [ -x "$root/lib/games/zorbulon/zorbulon" ] || fail "no executable lib/games/zorbulon/zorbulon"
  cmp -s "$root/share/games/zorbulon/Assets.bin" "$build/bin/Assets.bin" || fail "Assets.bin differs from the build's"
  cmp -s "$root/share/games/zorbulon/AssetsOffsets.bin" "$build/bin/AssetsOffsets.bin" ||
    fail "AssetsOffsets.bin differs from the build's"
  desktop-file-validate "$root/share/applications/zorbulon.desktop" || fail "the menu entry does not validate"
  local icon="$root/share/icons/hicolor/256x256/apps/zorbulon.png"
  [ "$(identify -format '%m %w %h' "$icon")" = "PNG 256 256" ] || fail "the icon is not a 256 x 256 PNG"
  # Not one flat colour: the face is drawn.
  [ "$(convert "$icon" -format '%k' info:)" -gt 100 ] || fail "the icon is blank"
}

# Plays the close run from the installed copy, then checks that it wrote nothing into the
# installed tree (beside its executable or its pack) and kept the player's settings in the
# profile folder the run gave it instead.
play_installed() { # root of the installed tree, command
  touch "$work/before_play"
  sleep 1 # modification times are compared to the second on some file systems
  "$here/../e2e/game_e2e.sh" close "$2" "$xclose" "$out/close"
  local written
  written=$(find "$1" -newer "$work/before_play" -not -type d)
  [ -z "$written" ] || fail "the game wrote into its installed tree: $written"
  [ -s "$out/close/config/zorbulon/settings.toml" ] || fail "no settings file in the player's config folder"
}

case $mode in
prefix)
  cmake --install "$build" --prefix "$work/prefix" >"$out/install.log"
  check_layout "$work/prefix"
  play_installed "$work/prefix" "$work/prefix/games/zorbulon"
  ;;
deb)
  (cd "$build" && cpack -G DEB -B "$work/package" >"$out/cpack.log") || { cat "$out/cpack.log" >&2; fail "cpack"; }
  deb=$(ls "$work"/package/zorbulon_*.deb)
  dpkg-deb -f "$deb" Package Version Architecture Section Depends | tee "$out/control.txt"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libsdl2 libvulkan1 libopenal1 libsndfile1 libassimp mesa-vulkan-drivers; do
    case $depends in *"$lib"*) ;; *) fail "Depends does not name $lib: $depends" ;; esac
  done
  dpkg-deb -x "$deb" "$work/root"
  check_layout "$work/root/usr"
  play_installed "$work/root/usr" "$work/root/usr/games/zorbulon"
  ;;
*)
  fail "usage: $0 prefix|deb <build dir> <xclose tool> <output directory>"
  ;;
esac
echo "installed game ($mode): pass"
