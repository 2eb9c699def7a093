#!/usr/bin/env bash
# The Windows pass: cross-builds the Qt-free libraries (data file and loader, time scale, chart
# state and geometry, registry and settings, print placement) and their test programs with
# MinGW-w64, then runs the programs under Wine. On Windows the registry calls are the system's
# own, so the registry suites run against Wine's registry there.
#
#   scripts/test-windows.sh
#
# Installs what is missing, builds in build-windows/ (QUILLON_WINDOWS_BUILD_DIR) and keeps Wine's
# state in a prefix of its own inside it, never in ~/.wine. The programs see the host's time zone
# through Wine, by default Australia/Sydney (QUILLON_WINE_TZ): summer time on the loaded day.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
QUILLON_PACKAGES=("${QUILLON_WINDOWS_PACKAGES[@]}")
quillon_install_deps

build_dir=${QUILLON_WINDOWS_BUILD_DIR:-build-windows}
extra=()
[ "${CI:-}" = true ] && extra+=(-DQUILLON_WERROR=ON)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUILLON_CORE_ONLY=ON \
  -DQUILLON_GTEST_SOURCE=/usr/src/googletest "${extra[@]}" >/dev/null
cmake --build "$build_dir"

export WINEPREFIX
WINEPREFIX="$(cd "$build_dir" && pwd)/wine-prefix"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or a browser engine, and nothing may be downloaded.
export WINEDLLOVERRIDES="mscoree,mshtml="
export TZ=${QUILLON_WINE_TZ:-Australia/Sydney}
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
fi

log="$build_dir/ctest-wine.log"
status=0
(cd "$build_dir" && ctest -V -j2 --timeout 300) >"$log" 2>&1 || status=$?
# Only this prefix's server: the programs have ended, it need not linger.
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
if [ "$status" -ne 0 ]; then
  grep -E '^[0-9]+: \[  FAILED  \]|Failure|Expected|Which is|Test +#' "$log" | head -200 >&2 || true
  echo "test-windows.sh: tests failed under Wine; the whole output is in $log" >&2
  exit 1
fi
ran=$(grep -oE '\[  PASSED  \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
skipped=$(grep -oE '\[  SKIPPED \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
programs=$(grep -cE 'Test +#[0-9]+: .* Passed' "$log" || true)
echo "test-windows.sh: $ran tests passed under Wine ($skipped skipped) in $programs programs"
