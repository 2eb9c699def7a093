# Sourced by the comparison scripts: two programs timed in turns, one run each, so both meet the
# same load on the machine.
#
#   side_by_side RUNS WORK NAME_A TIME_A NAME_B TIME_B
#
# TIME_A and TIME_B are commands that print one time in milliseconds. Prints every run and the
# medians, and leaves the medians in SIDE_A and SIDE_B.

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

side_by_side() {
  local runs=$1 work=$2 name_a=$3 time_a=$4 name_b=$5 time_b=$6 i a b
  printf '%4s %12s %12s\n' run "$name_a ms" "$name_b ms"
  : >"$work/a.txt"
  : >"$work/b.txt"
  for i in $(seq 1 "$runs"); do
    a=$($time_a)
    b=$($time_b)
    echo "$a" >>"$work/a.txt"
    echo "$b" >>"$work/b.txt"
    printf '%4d %12s %12s\n' "$i" "$a" "$b"
  done
  SIDE_A=$(median <"$work/a.txt")
  SIDE_B=$(median <"$work/b.txt")
  printf '%4s %12s %12s\n' median "$SIDE_A" "$SIDE_B"
}
