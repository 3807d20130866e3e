#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package build/quorvel_VERSION_ARCH.deb from the release build in ./build
# (building what is missing there) and prints its path on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build -j "$(nproc)" >&2
rm -f build/quorvel_*.deb
(cd build && cpack -G DEB >&2)
ls build/quorvel_*.deb
