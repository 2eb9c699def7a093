#!/usr/bin/env bash
# The CPU a viewer spends following a day, as a share of one core, measured from /proc over a
# fixed time while a writer appends to the file it shows:
#   idle        the file unchanged
#   early       500 lines/s appended to a day that holds 1,000 readings
#   late        500 lines/s appended to a day that holds 170,000 readings
#   longline    a 100 MB last line without its end, growing by a byte every 10 ms
#
#   bench/follow_cpu.sh [QUILLON] [SECONDS]    (default build/quillon, 10 s each)
set -euo pipefail
cd "$(dirname "$0")/.."
# The viewer needs a display: one of its own when none is there.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$0" "$@"
fi
quillon=${1:-build/quillon}
seconds=${2:-10}
gen=$(dirname "$quillon")/quillon_gen_day
[ -x "$gen" ] || gen=build/quillon_gen_day
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
ticks=$(getconf CLK_TCK)

cpu_of() { # pid -> utime + stime in ticks
  awk '{print $14 + $15}' "/proc/$1/stat"
}

measure() { # name file [writer command...]
  local name=$1 file=$2
  shift 2
  "$quillon" "$file" >/dev/null 2>&1 &
  local viewer=$!
  sleep 2 # start-up and the first read are not what is measured
  local writer=
  if [ $# -gt 0 ]; then
    "$@" &
    writer=$!
  fi
  local before after
  before=$(cpu_of $viewer)
  sleep "$seconds"
  after=$(cpu_of $viewer)
  [ -n "$writer" ] && kill "$writer" 2>/dev/null || true
  kill $viewer
  wait $viewer 2>/dev/null || true
  awk -v n="$name" -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "%-9s %5.1f %% of a core\n", n, 100 * t / hz / s }'
}

"$gen" "$work/idle.vks" >/dev/null
measure idle "$work/idle.vks"

"$gen" "$work/early.vks" --live --rate 500 --count 1000 >/dev/null
measure early "$work/early.vks" "$gen" "$work/early.vks" --live --rate 500 --start 00:08:20
"$gen" "$work/late.vks" --live --rate 100000 --count 170000 >/dev/null
measure late "$work/late.vks" "$gen" "$work/late.vks" --live --rate 500 --start 23:36:40

python3 -c "open('$work/long.vks','w').write('00:00:01,1.5\n00:00:02,2.5' + '7' * 100_000_000)"
measure longline "$work/long.vks" bash -c "while true; do printf 7 >> '$work/long.vks'; sleep 0.01; done"
