#!/usr/bin/env bash
# Side by side: `quillon --export` against gnuplot drawing the same full day (time axis from the
# clock column, lines) to a PNG of the same size, whole processes, several runs each.
#
#   bench/compare_gnuplot.sh [DAY.vks] [RUNS]
#
# DAY.vks defaults to build/sample-day.vks (the sample_day target), RUNS to 9. Environment:
# QUILLON (default build/quillon), SIZE (default 1200x800), GNUPLOT_TERM (default pngcairo; png
# is gnuplot's libgd terminal). Installs gnuplot (gnuplot-nox) when it is missing. Prints every
# run, the medians and their ratio; exits 1 when quillon is less than 3 times faster.
set -euo pipefail
cd "$(dirname "$0")/.."

day=${1:-build/sample-day.vks}
runs=${2:-9}
quillon=${QUILLON:-build/quillon}
size=${SIZE:-1200x800}
term=${GNUPLOT_TERM:-pngcairo}
target=3

if ! command -v gnuplot >/dev/null 2>&1; then
  echo "Installing gnuplot-nox" >&2
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends gnuplot-nox >/dev/null
fi
if [ ! -x "$quillon" ]; then
  echo "no $quillon: build it first (cmake --build build --target quillon sample_day)" >&2
  exit 2
fi
if [ ! -f "$day" ]; then
  echo "no data file $day: build the sample_day target or name a file" >&2
  exit 2
fi
case "$size" in
  [0-9]*x[0-9]*) width=${size%x*}; height=${size#*x} ;;
  *) echo "SIZE must be WIDTHxHEIGHT, such as 1200x800" >&2; exit 2 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/day.gp" <<GP
set terminal $term size $width,$height
set output '$work/gnuplot.png'
set datafile separator ','
set xdata time
set timefmt '%H:%M:%S'
set format x '%H:%M'
set xrange ['00:00:00':'23:59:59']
set key off
set grid
plot '$day' using 1:2 with lines
GP

. bench/side_by_side.sh

run_quillon() { QT_QPA_PLATFORM=offscreen "$quillon" --export "$work/quillon.png" "$day" --size "$size"; }
run_gnuplot() { gnuplot "$work/day.gp"; }

# One untimed run of each warms the file cache and the libraries.
elapsed_ms run_quillon >/dev/null
elapsed_ms run_gnuplot >/dev/null

echo "$(wc -l <"$day") readings from $day at $size; gnuplot terminal $term"
time_quillon() { elapsed_ms run_quillon; }
time_gnuplot() { elapsed_ms run_gnuplot; }
side_by_side "$runs" "$work" quillon time_quillon gnuplot time_gnuplot
ratio=$(awk -v q="$SIDE_A" -v g="$SIDE_B" 'BEGIN { printf "%.1f", (q > 0 ? g / q : 0) }')
echo "gnuplot / quillon = ${ratio}x (target: at least ${target}x)"
awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r >= t) }'
