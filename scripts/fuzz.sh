#!/usr/bin/env bash
# Fuzzes the parsers that read outside input, each target for a bounded time.
#
#   scripts/fuzz.sh [TARGET...]     all targets, or only those named
#
# Each target is built with clang's libFuzzer, AddressSanitizer and UBSan into build-fuzz/ (kept
# out of the CMake build: it compiles the few sources a target needs directly, no Qt) and run for
# QUILLON_FUZZ_SECONDS seconds (60 by default) on its seed corpus. Inputs the fuzzer finds go to
# build-fuzz/corpus/TARGET, never into the committed seeds; an input that crashes a target is kept
# as build-fuzz/artifacts/TARGET-crash-*. Exits 1 when a target crashed, 0 otherwise, and 0 with a
# message when clang++ is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."

# One entry per target: name | sources, from the top of the tree, separated by spaces | seed corpus.
TARGETS=(
  "fuzz_hive | fuzz/fuzz_hive.cpp platform/RegistryHive.cpp | fuzz/corpus/hive"
  "fuzz_loader | fuzz/fuzz_loader.cpp data/FieldLoader.cpp data/FieldParse.cpp data/ChartTime.cpp platform/SharedFile.cpp platform/FileIdentity.cpp | fuzz/corpus/loader"
)

CXX_FUZZ=${CXX_FUZZ:-clang++}
FUZZ_SECONDS=${QUILLON_FUZZ_SECONDS:-60}
OUT=build-fuzz
CXXFLAGS_FUZZ=(-std=c++20 -g -O1 -fno-omit-frame-pointer "-fsanitize=fuzzer,address,undefined"
  -fno-sanitize-recover=undefined -Wall -Wextra -Wpedantic -Werror -I.)

if ! command -v "$CXX_FUZZ" >/dev/null 2>&1; then
  echo "fuzz.sh: $CXX_FUZZ is not installed, so nothing was fuzzed (install clang to fuzz)"
  exit 0
fi

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

mkdir -p "$OUT/artifacts"
crashed=()
ran=0
for entry in "${TARGETS[@]}"; do
  IFS='|' read -r name sources corpus <<<"$entry"
  name=$(trim "$name")
  corpus=$(trim "$corpus")
  if (($# > 0)) && [[ " $* " != *" $name "* ]]; then
    continue
  fi
  read -r -a source_list <<<"$sources"
  echo "== $name: building $OUT/$name"
  "$CXX_FUZZ" "${CXXFLAGS_FUZZ[@]}" "${source_list[@]}" -o "$OUT/$name"
  mkdir -p "$OUT/corpus/$name"
  echo "== $name: fuzzing for ${FUZZ_SECONDS}s"
  # libFuzzer adds what it finds to the first folder and only reads the others.
  if "$OUT/$name" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$OUT/artifacts/$name-" \
    "$OUT/corpus/$name" "$corpus"; then
    echo "== $name: no crash"
  else
    echo "== $name: CRASHED (input kept under $OUT/artifacts/)"
    crashed+=("$name")
  fi
  ran=$((ran + 1))
done

if ((ran == 0)); then
  echo "fuzz.sh: no target named $*" >&2
  exit 2
fi
if ((${#crashed[@]} > 0)); then
  echo "fuzz.sh: crashed: ${crashed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: $ran target(s), no crash"
