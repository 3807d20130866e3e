#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Quorvel from scratch as shipped (warnings are errors), makes
# the Debian package from that build and checks it as Debian's tools do, then builds everything
# again under AddressSanitizer and UndefinedBehaviorSanitizer and runs every test there, and
# each fuzzer for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/check-format.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
passed=0
# Runs the suite of one build and adds its count to the tally printed at the end.
run_suite() {
  local log
  log=$(mktemp)
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout "$2" | tee "$log"
  passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
  rm -f "$log"
}

# Line tables (-g1) are all a failure's stack trace needs; full debug information made every
# build here a third slower. The tests, most of the code, are built and run once, under the
# sanitizers below: building them a second time, optimized, no longer fits in CI's time.
echo "== build the release"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DQUORVEL_TESTS=OFF
cmake --build build -j "$jobs"

echo "== package and check it"
deb=$(bash scripts/package.sh | tail -n 1)
lintian --fail-on error "$deb"
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
"$unpacked/usr/bin/quorvel-batch" --version
"$unpacked/usr/bin/quorvel-page" --version
for size in 16 32 48 256; do
  [ -f "$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/quorvel.png" ]
done
rm -rf "$unpacked"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_WERROR=ON -DQUORVEL_SANITIZE=ON \
  -DQUORVEL_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build-asan -j "$jobs"
run_suite build-asan 600

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz"
  bash scripts/fuzz.sh 30
fi

echo "tests: $passed passed, 0 failed"
