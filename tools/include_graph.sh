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
