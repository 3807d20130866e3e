#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a test program on a virtual X server of its own under openbox, which frames and places
# windows as a desktop's window manager does.
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  wm_named() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
  # On a loaded machine the server may refuse its first clients, and openbox then gives up at
  # once; it is started again rather than leaving the test to run without a window manager.
  for _ in 1 2 3; do
    for _ in $(seq 100); do
      xprop -root >/dev/null 2>&1 && break
      sleep 0.05
    done
    openbox --sm-disable &
    wm=$!
    # The window manager is ready once it has named itself on the root window.
    for _ in $(seq 200); do
      wm_named && break
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.05
    done
    wm_named && break
    kill "$wm" 2>/dev/null
  done
  if ! wm_named; then
    echo "openbox did not start on $DISPLAY" >&2
    exit 1
  fi
  "$@"
  status=$?
  kill "$wm"
  exit "$status"' sh "$@"
