#!/usr/bin/env bash
# Side by side: launch to the first frame with a full day's trace, quillon against two floors, all
# timed from screenshots by bench_first_frame: a minimal Qt viewer (bench_minimal_viewer), what a
# competent developer writes for the same job (the day read with plain C++, a menu bar, labelled
# axes), and a bare Qt window that paints lines at once (bench_bare_window).
#
#   bench/compare_startup.sh [DAY.vks] [RUNS]
#
# DAY.vks defaults to build/sample-day.vks, RUNS to 15. Uses the X display in DISPLAY when it has a
# window manager; otherwise starts Xvfb (display :95, 1280x1024) and openbox, and stops them at the
# end. Installs xvfb, openbox and x11-utils when they are missing and needed. Quillon runs with a
# settings folder of its own that the untimed first run sets up, as a user's later starts find
# theirs; it is ended without closing, so it never saves a place and always opens where the two
# floors do (10, 10, 600 x 400). The three programs take turns, one run each, so all meet the same
# load on the machine. Prints every run, the medians, quillon / minimal viewer (the target) and
# quillon / bare window (what Qt alone leaves); exits 1 when quillon takes more than 1.10 times
# the minimal viewer's time.
set -euo pipefail
cd "$(dirname "$0")/.."

day=${1:-build/sample-day.vks}
runs=${2:-15}
build=${BUILD:-build}
quillon=$build/quillon
minimal=$build/bench/bench_minimal_viewer
bare=$build/bench/bench_bare_window
timer=$build/bench/bench_first_frame
target=1.10

for program in "$quillon" "$minimal" "$bare" "$timer"; do
  if [ ! -x "$program" ]; then
    echo "no $program: build it first (cmake --build $build --target quillon sample_day" \
      "bench_minimal_viewer bench_bare_window bench_first_frame)" >&2
    exit 2
  fi
done
if [ ! -f "$day" ]; then
  echo "no data file $day: build the sample_day target or name a file" >&2
  exit 2
fi

work=$(mktemp -d)
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

has_window_manager() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
# Installs the Debian package that brings each command named, where the command is missing.
install_missing() {
  local missing=() command package
  for command in "$@"; do
    case $command in
      Xvfb) package=xvfb ;;
      xprop | xdpyinfo) package=x11-utils ;;
      *) package=$command ;;
    esac
    command -v "$command" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing xprop xdpyinfo
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  install_missing Xvfb
  export DISPLAY=:95
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  started+=($!)
  for _ in $(seq 1 50); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
fi
if ! has_window_manager; then
  install_missing openbox
  openbox >"$work/openbox.log" 2>&1 &
  started+=($!)
  for _ in $(seq 1 50); do has_window_manager && break; sleep 0.1; done
fi

. bench/side_by_side.sh
config=$work/config
mkdir "$config"
time_quillon() { XDG_CONFIG_HOME=$config "$timer" -- "$quillon" "$day"; }
time_minimal() { "$timer" -- "$minimal" "$day"; }
time_bare() { "$timer" -- "$bare"; }

# One untimed run of each warms the file cache and the libraries.
time_quillon >/dev/null
time_minimal >/dev/null
time_bare >/dev/null

echo "launch to first trace on $DISPLAY ($(wc -l <"$day") readings from $day)"
side_by_side "$runs" "$work" quillon time_quillon minimal time_minimal bare time_bare
ratio() { awk -v q="$1" -v f="$2" 'BEGIN { printf "%.2f", (f > 0 ? q / f : 0) }'; }
ratio_minimal=$(ratio "$SIDE_A" "$SIDE_B")
ratio_bare=$(ratio "$SIDE_A" "$SIDE_C")
echo "quillon / minimal viewer = ${ratio_minimal}x (target: at most ${target}x)"
echo "quillon / bare window = ${ratio_bare}x"
awk -v r="$ratio_minimal" -v t="$target" 'BEGIN { exit !(r <= t) }'
