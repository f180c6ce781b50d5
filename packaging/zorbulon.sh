#!/bin/sh
# Starts Zorbulon from its data directory, where the game reads Assets.bin and its index. Paths are
# relative to this script, so the same layout works under /usr and under any other prefix.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../share/games/zorbulon" || exit 1
exec "$here/../lib/games/zorbulon/zorbulon" "$@"
