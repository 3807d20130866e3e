#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the hicolor PNGs from the window icon (app/icons/quorvel.xpm). Run it after changing that
# picture and commit the result; the build does not need ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  # Nearest-neighbour keeps the pixel art's edges sharp when it is enlarged.
  filter=()
  [ "$size" -ge 32 ] && filter=(-filter point)
  convert ../../app/icons/quorvel.xpm "${filter[@]}" -resize "${size}x${size}" -strip \
    "PNG32:hicolor/${size}x${size}/apps/quorvel.png"
done
