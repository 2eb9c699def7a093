#!/usr/bin/env bash
# Prints which source folder includes which (the folder include graph) and fails when the graph
# has a cycle: folders are layers, and a layer includes only those below it.
#   tools/include_graph.sh           print the edges "from -> to", then the layers bottom first
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(platform res data doc chart print settings ui app)
edges=$(
  for from in "${folders[@]}"; do
    grep -rhoE '^#include "[a-z]+/' --include='*.h' --include='*.cpp' "$from" |
      sed -E 's/^#include "([a-z]+)\//\1/' |
      while read -r to; do
        [ "$to" != "$from" ] && [ -d "$to" ] && [[ " ${folders[*]} " == *" $to "* ]] && echo "$to $from"
      done
  done | sort -u
)

echo "Folder includes (a -> b: a includes b):"
while read -r to from; do
  [ -n "$to" ] && echo "  $from -> $to"
done <<<"$edges"

# tsort orders the folders bottom layer first, and reports a loop when there is one.
if ! order=$( { echo "$edges"; for f in "${folders[@]}"; do echo "$f $f"; done; } | tsort 2>&1); then
  echo "include cycle between folders:" >&2
  echo "$order" | grep -i loop -A20 >&2 || true
  exit 1
fi
if grep -qi loop <<<"$order"; then
  echo "include cycle between folders:" >&2
  echo "$order" >&2
  exit 1
fi
echo "Layers, bottom first: $(echo $order)"

# Within the layers between the stand-ins and the program too: no two units (a header and its
# .cpp, taken together) include each other, even through others. (platform/ pairs an API with its
# back end, and app/ the program's globals with its application object, on purpose.)
unit_folders=(res data doc chart print settings ui)
unit_edges=$(
  for from in "${unit_folders[@]}"; do
    for file in "$from"/*.h "$from"/*.cpp; do
      [ -e "$file" ] || continue
      unit=${file%.*}
      grep -hoE '^#include "[a-z]+/[A-Za-z0-9_]+\.h"' "$file" |
        sed -E 's/^#include "(.*)\.h"/\1/' |
        while read -r to; do
          [ "$to" != "$unit" ] && [[ " ${unit_folders[*]} " == *" ${to%%/*} "* ]] && echo "$to $unit"
        done
    done
  done | sort -u
)
if ! unit_order=$( { echo "$unit_edges"; } | tsort 2>&1) || grep -qi loop <<<"$unit_order"; then
  echo "include cycle between files:" >&2
  grep -i loop -A20 <<<"$unit_order" >&2 || true
  exit 1
fi
echo "No include cycle between files ($(wc -l <<<"$unit_edges") edges)."
