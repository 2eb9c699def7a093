#!/usr/bin/env bash
# Installs what is missing, builds, and opens Quillon on FILE.vks or on the bundled sample day.
# Without a display it says so and renders the chart to a PNG instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/deps.sh
quillon_install_deps

build_dir=${QUILLON_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target quillon sample_day >/dev/null

file=${1:-$root/$build_dir/sample-day.vks}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="${QUILLON_PNG:-$root/$build_dir/$(basename "${file%.*}").png}"
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): drawing the chart to a PNG instead."
  QT_QPA_PLATFORM=offscreen "$build_dir/quillon" --export "$out" "$file"
  echo "Chart written to $out"
  exit 0
fi
exec "$build_dir/quillon" "$file"
