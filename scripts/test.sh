#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
#   scripts/test.sh                 normal build in build/
#   QUILLON_SANITIZE=1 scripts/test.sh   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
quillon_install_deps

build_type=${QUILLON_BUILD_TYPE:-RelWithDebInfo}
build_dir=${QUILLON_BUILD_DIR:-build}
extra=()
if [ "${QUILLON_SANITIZE:-0}" = 1 ]; then
  build_dir=${QUILLON_BUILD_DIR:-build-asan}
  build_type=Debug
  extra+=(-DQUILLON_SANITIZE=ON)
fi
[ "${CI:-}" = true ] && extra+=(-DQUILLON_WERROR=ON)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}" >/dev/null
cmake --build "$build_dir"
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 120
