#!/usr/bin/env bash
# Across days, measured side by side in one run: a year of full days (365 x 172,800 readings from
# build/quillon_gen_day, in the page cache) summarised cold against the single-core load of one
# day (bench_load) x 365 / cores; the same year from the summary cache, in-process and as
# `quillon --summary`; the overview's first paint from the cache; the peak memory of --summary at
# 30 and at 365 days; and a batch export of 30 days against 30 separate `quillon --export` runs.
#
#   bench/compare_archive.sh [YEAR_DIR] [RUNS]
#
# YEAR_DIR defaults to /tmp/quillon-year (written by bench/make_year.sh when it is not complete;
# about 1 GB), RUNS to 5. Prints each figure beside its target; exits 1 when one is missed.
set -euo pipefail
cd "$(dirname "$0")/.."

year=${1:-/tmp/quillon-year}
runs=${2:-5}
quillon=${QUILLON:-build/quillon}
cores=$(nproc)
for program in "$quillon" build/bench/bench_load build/bench/bench_archive build/quillon_gen_day; do
  [ -x "$program" ] || { echo "no $program: build it first (cmake --build build)" >&2; exit 2; }
done
[ "$(find "$year" -maxdepth 1 -name '*.vks' 2>/dev/null | wc -l)" -ge 365 ] ||
  bench/make_year.sh "$year" 365
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/side_by_side.sh
failed=0
check() { # NAME VALUE OP TARGET UNIT
  local verdict=met
  awk -v v="$2" -v t="$4" -v op="$3" 'BEGIN { exit !((op == "<=") ? v <= t : v >= t) }' || {
    verdict=MISSED
    failed=1
  }
  printf '%-58s %10s %s   (target %s %s %s) %s\n' "$1" "$2" "$5" "$3" "$4" "$5" "$verdict"
}
# The median of a Google Benchmark's repetitions, in ms, from its console output.
bench_median() { awk -v name="$1_median" '$1 ~ name { print $2; exit }'; }

echo "== $(uptime)"
echo "== $cores cores; the year: $year"
cat "$year"/*.vks >/dev/null # into the page cache

echo "== In-process (Google Benchmark, median of $runs)"
reps=(--benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true)
# One day's load is the yardstick and takes 10 ms: ten repetitions at least, so that one slow run
# does not move it.
build/bench/bench_load --benchmark_filter='BM_LoadFieldFile$' \
  --benchmark_repetitions=$((runs > 10 ? runs : 10)) --benchmark_report_aggregates_only=true |
  tee "$work/load.txt"
QUILLON_ARCHIVE_DIR=$year build/bench/bench_archive "${reps[@]}" 2>/dev/null | tee "$work/archive.txt"
load=$(bench_median BM_LoadFieldFile <"$work/load.txt")
load_cpu=$(awk '$1 == "BM_LoadFieldFile_median" { print $4; exit }' <"$work/load.txt")
cold=$(bench_median 'BM_SummariseYearCold/iterations:3/real_time' <"$work/archive.txt")
cached=$(bench_median 'BM_SummariseYearCached/real_time' <"$work/archive.txt")
paint=$(bench_median 'BM_OverviewFirstPaintFromCache/real_time' <"$work/archive.txt")
budget=$(awk -v l="$load" -v c="$cores" 'BEGIN { printf "%.0f", l * 365 / c }')

echo "== Whole processes: quillon --summary of the year, cold (no cache) and cached ($runs runs)"
time_cold() {
  rm -rf "$work/cache-cold"
  XDG_CACHE_HOME=$work/cache-cold elapsed_ms "$quillon" --summary "$year"
}
XDG_CACHE_HOME=$work/cache-warm "$quillon" --summary "$year" >/dev/null
time_cached() { XDG_CACHE_HOME=$work/cache-warm elapsed_ms "$quillon" --summary "$year"; }
side_by_side "$runs" "$work" cold time_cold cached time_cached
cli_cold=$SIDE_A
cli_cached=$SIDE_B

# The work a cold year costs, whatever else the machine runs: CPU seconds of a cold run.
rm -rf "$work/cache-cpu"
cpu=$(XDG_CACHE_HOME=$work/cache-cpu /usr/bin/time -f '%U %S' "$quillon" --summary "$year" 2>&1 \
  >/dev/null | awk '{ printf "%.0f", ($1 + $2) * 1000 }')

echo "== Peak memory of quillon --summary, cold (/usr/bin/time -v)"
mkdir -p "$work/month"
find "$year" -maxdepth 1 -name '*.vks' | sort | head -n 30 | xargs -I{} ln -s {} "$work/month/"
rss() {
  rm -rf "$work/cache-rss"
  XDG_CACHE_HOME=$work/cache-rss /usr/bin/time -v "$quillon" --summary "$1" 2>&1 >/dev/null |
    awk '/Maximum resident set size/ { printf "%.1f", $NF / 1024 }'
}
rss30=$(rss "$work/month")
rss365=$(rss "$year")
echo "30 days: $rss30 MB; 365 days: $rss365 MB"

echo "== Batch export of 30 days against 30 separate runs ($runs runs)"
mapfile -t month < <(find "$work/month" -name '*.vks' | sort)
mkdir -p "$work/batch" "$work/single"
time_batch() { QT_QPA_PLATFORM=offscreen elapsed_ms "$quillon" --export "$work/batch/" "${month[@]}"; }
singles() {
  local day
  for day in "${month[@]}"; do
    QT_QPA_PLATFORM=offscreen "$quillon" --export "$work/single/$(basename "$day" .vks).png" "$day"
  done
}
time_singles() { elapsed_ms singles; }
side_by_side "$runs" "$work" batch time_batch singles time_singles
batch_ratio=$(awk -v b="$SIDE_A" -v s="$SIDE_B" 'BEGIN { printf "%.1f", (b > 0 ? s / b : 0) }')
# The floor: a batch can take no less wall time than its CPU time spread over every core, and the
# singles do the same work per day plus a process start each. Their quotient is the most any
# batch could gain here.
batch_cpu=$(QT_QPA_PLATFORM=offscreen /usr/bin/time -f '%U %S' "$quillon" --export "$work/batch/" \
  "${month[@]}" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.0f", ($1 + $2) * 1000 }')
batch_ceiling=$(awk -v c="$batch_cpu" -v s="$SIDE_B" -v n="$cores" \
  'BEGIN { printf "%.1f", (c > 0 ? s / (c / n) : 0) }')

echo
echo "== Figures (load average $(cut -d' ' -f1-3 /proc/loadavg); $cores cores, shared)"
echo "one day's load on one core (bench_load): $load ms; x 365 / $cores = $budget ms"
check "a year cold, in-process / (load x 365 / cores)" \
  "$(awk -v c="$cold" -v b="$budget" 'BEGIN { printf "%.2f", c / b }')" '<=' 1.3 x
echo "   (a year cold in-process: $cold ms; quillon --summary cold, whole process: $cli_cold ms)"
echo "   the same in CPU time, which the machine's other work does not stretch:" \
  "$cpu ms of CPU for the year against $load_cpu ms for one day's load:" \
  "$(awk -v c="$cpu" -v l="$load_cpu" 'BEGIN { printf "%.2f", c / (l * 365) }')x" \
  "(the wall ratio on $cores idle cores, when the scan keeps each of them busy)"
check "a year from the cache, in-process" "$cached" '<=' 100 ms
check "a year from the cache, quillon --summary, whole process" "$cli_cached" '<=' 100 ms
check "the overview's first paint from the cache" "$paint" '<=' 300 ms
check "peak memory of --summary, 365 days" "$rss365" '<=' 64 MB
check "peak memory of --summary, 365 days less 30 days" \
  "$(awk -v a="$rss365" -v b="$rss30" 'BEGIN { printf "%.1f", a - b }')" '<=' 4 MB
check "30 separate exports / one batch export of 30 days" "$batch_ratio" '>=' 10 x
echo "   the batch used $batch_cpu ms of CPU: on $cores cores no batch can beat" \
  "$SIDE_B ms / ($batch_cpu ms / $cores) = ${batch_ceiling}x"
exit "$failed"
