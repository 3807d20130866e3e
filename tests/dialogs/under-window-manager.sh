#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a test program on a virtual X server of its own under openbox, which frames and places
# windows as a desktop's window manager does.
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox --sm-disable &
  wm=$!
  # The window manager is ready once it has named itself on the root window.
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.05
  done
  "$@"
  status=$?
  kill "$wm"
  exit "$status"' sh "$@"
