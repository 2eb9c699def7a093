# Sourced by the comparison scripts: programs timed in turns, one run each, so all meet the same
# load on the machine.
#
#   side_by_side RUNS WORK NAME_A TIME_A NAME_B TIME_B [NAME_C TIME_C ...]
#
# Each TIME_ is a command that prints one time in milliseconds. Each run starts with the next
# program in turn, so none always follows the same one. Prints every run and the medians, and
# leaves the medians in SIDE_A, SIDE_B, SIDE_C (empty with two programs) and, in order, in the
# array SIDE_MEDIANS.

# Wall-clock milliseconds of one command, its output discarded; a failure ends the script.
elapsed_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

side_by_side() {
  local runs=$1 work=$2 i j k n names=() timers=() times=()
  shift 2
  while [ $# -ge 2 ]; do
    names+=("$1")
    timers+=("$2")
    shift 2
  done
  n=${#names[@]}
  printf '%4s' run
  for ((j = 0; j < n; j++)); do printf ' %12s' "${names[j]} ms"; done
  echo
  for ((j = 0; j < n; j++)); do : >"$work/side$j.txt"; done
  for i in $(seq 1 "$runs"); do
    for ((k = 0; k < n; k++)); do
      j=$(((i - 1 + k) % n))
      times[j]=$(${timers[j]})
      echo "${times[j]}" >>"$work/side$j.txt"
    done
    printf '%4d' "$i"
    for ((j = 0; j < n; j++)); do printf ' %12s' "${times[j]}"; done
    echo
  done
  SIDE_MEDIANS=()
  printf '%4s' median
  for ((j = 0; j < n; j++)); do
    SIDE_MEDIANS+=("$(median <"$work/side$j.txt")")
    printf ' %12s' "${SIDE_MEDIANS[j]}"
  done
  echo
  # shellcheck disable=SC2034 # read by the scripts that source this one
  SIDE_A=${SIDE_MEDIANS[0]} SIDE_B=${SIDE_MEDIANS[1]} SIDE_C=${SIDE_MEDIANS[2]:-}
}
