#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Quorvel into ./build and opens its main window; without a
# display it runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target quorvel
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/quorvel
fi
echo "No display found: running Quorvel under xvfb-run (a virtual X server, nothing is shown)."
exec xvfb-run -a build/app/quorvel
