#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds quorvel-render-ui and renders the main window and the dialogs to PNG files in OUTDIR,
# without a display.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target quorvel-render-ui
QT_QPA_PLATFORM=offscreen build/tools/render-ui/quorvel-render-ui "$out"
