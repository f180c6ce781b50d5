#!/usr/bin/env bash
# The engine's layers, lowest first: a file may include its own layer and the layers under it,
# never one above. app/main.cpp, where the layers meet, may include anything. Each CMake layer
# library links only the layers under it; this checks the includes, which linking alone lets
# through wherever the included code is inline. Prints every include that points upward, or into
# an engine folder that is in no layer, as file:line, and fails.
# Usage: scripts/check-layers.sh [source root]   (default: this checkout)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# One line per layer, lowest first. The folders on one line are one layer: an actor files its
# object in the collision grid, and the grid reaches back to the object's owner.
layers=(
  "math"
  "app"
  "assets"
  "scene/components scene/camera"
  "collision scene/actors"
  "renderer"
  "game"
)
exempt=app/main.cpp
# The engine's top folders; includes of anything else (generated shader words) are not checked.
tops="math app assets scene collision renderer game"

mapfile -t files < <(find $tops -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
awk -v layers="$(printf '%s\n' "${layers[@]}")" -v exempt="$exempt" -v tops="$tops" '
BEGIN {
  n = split(layers, line, "\n")
  for (i = 1; i <= n; i++) { m = split(line[i], folder, " "); for (j = 1; j <= m; j++) rank[folder[j]] = i }
  split(tops, t, " "); for (i in t) top[t[i]] = 1
}
# The listed folder a path lies in (the longest that prefixes it), or "".
function layer_of(path,    f, best) {
  best = ""
  for (f in rank) if (index(path, f "/") == 1 && length(f) > length(best)) best = f
  return best
}
function report(where, what) { print where ": " what > "/dev/stderr"; bad++ }
FNR == 1 {
  own = layer_of(FILENAME); skip = FILENAME == exempt
  if (!skip && own == "") { report(FILENAME ":1", "in a folder that is in no layer"); skip = 1 }
}
skip { next }
/^[ \t]*#[ \t]*include[ \t]*"[^"]*\/[^"]*"/ {
  match($0, /"[^"]*"/); target = substr($0, RSTART + 1, RLENGTH - 2)
  split(target, part, "/"); if (!(part[1] in top)) next
  theirs = layer_of(target)
  if (theirs == "") report(FILENAME ":" FNR, "includes " target ", in no layer")
  else if (rank[theirs] > rank[own]) report(FILENAME ":" FNR, "includes " target ": " theirs " is a layer above " own)
}
END {
  if (bad) { print bad " include(s) break the layers" > "/dev/stderr"; exit 1 }
  print "layers hold: every include points down or sideways"
}' "${files[@]}"
