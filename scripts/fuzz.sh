#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for the given number of seconds (default 30) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DQUORVEL_FUZZ=ON -DQUORVEL_TESTS=OFF -DQUORVEL_SANITIZE=ON
targets=()
for t in fuzz_inner_html fuzz_scanners fuzz_disposition; do
  [ -f "fuzz/corpus/${t#fuzz_}/.keep" ] || [ -d "fuzz/corpus/${t#fuzz_}" ] || continue
  targets+=("$t")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
for t in "${targets[@]}"; do
  work=$(mktemp -d)
  cp -r "fuzz/corpus/${t#fuzz_}/." "$work/"
  echo "fuzzing $t for ${seconds}s"
  "build-fuzz/fuzz/$t" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$work"
  rm -rf "$work"
done
