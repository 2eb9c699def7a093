#!/usr/bin/env bash
# The Qt-free core under ThreadSanitizer, for the code that runs on more than one thread: readers
# on two threads at once, and the start-up file read on a thread of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
quillon_install_deps

build_dir=${QUILLON_BUILD_DIR:-build-tsan}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_CORE_ONLY=ON \
  -DQUILLON_TSAN=ON >/dev/null
cmake --build "$build_dir" --target test_data
TSAN_OPTIONS=halt_on_error=1 "$build_dir/tests/test_data" \
  --gtest_filter='*TwoThreads*:CDocumentTest.*'
