#!/usr/bin/env bash
# Writes a logger's folder of DAYS day files (YYYYMMDD.vks, two readings a second, the days up
# to 2024-06-30) with build/quillon_gen_day, for the archive benchmarks and screenshots.
#
#   bench/make_year.sh OUTDIR [DAYS] [--varied]
#
# Plain, every day is the generator's full day with its afternoon storm (seed = the day's number).
# --varied makes a folder that looks like a real year: most afternoons calm, storms of every
# strength (more of them in summer), a few days missing, one cut short while logging, and one
# that cannot be read (a FIFO where a file should be).
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:?usage: bench/make_year.sh OUTDIR [DAYS] [--varied]}
days=${2:-365}
varied=${3:-}
gen=build/quillon_gen_day
[ -x "$gen" ] || { echo "make_year.sh: build $gen first (cmake --build build)" >&2; exit 1; }
mkdir -p "$out"

for ((i = 0; i < days; i++)); do
  name=$(date -u -d "2024-06-30 - $i days" +%Y%m%d)
  file="$out/$name.vks"
  if [ "$varied" != "--varied" ]; then
    [ -f "$file" ] || "$gen" "$file" "$((i + 1))"
    continue
  fi
  month=${name:4:2}
  # A few days the logger was off.
  if (( (i * 37) % 53 == 7 )); then continue; fi
  "$gen" "$file.tmp" "$((i + 1))"
  # Storms: one day in three from May to August, one in twelve otherwise; of any strength.
  if [[ "$month" =~ ^0[5-8]$ ]]; then every=3; else every=12; fi
  if (( (i * 7919) % every == 0 )); then
    factor=$(awk -v s="$i" 'BEGIN { srand(s); printf "%.2f", 0.2 + 2.6 * rand() }')
  else
    factor=0.03
  fi
  awk -F, -v f="$factor" 'BEGIN { OFS = "," }
    { t = substr($1, 1, 2) * 3600 + substr($1, 4, 2) * 60 + substr($1, 7, 2) }
    t >= 50400 && t < 63000 { $2 = sprintf("%.3f", $2 * f) } { print }' "$file.tmp" >"$file"
  rm -f "$file.tmp"
done

if [ "$varied" = "--varied" ]; then
  # The newest day is still being logged: only its morning so far.
  newest="$out/20240630.vks"
  [ -f "$newest" ] && head -n 60000 "$newest" >"$newest.tmp" && mv "$newest.tmp" "$newest"
  # A file that cannot be read, and a file whose name carries no date.
  rm -f "$out/20240315.vks" && mkfifo "$out/20240315.vks"
  [ -f "$out/20240101.vks" ] && cp "$out/20240101.vks" "$out/calibration.vks"
fi
echo "$out: $(find "$out" -maxdepth 1 -iname '*.vks' | wc -l) day files"
