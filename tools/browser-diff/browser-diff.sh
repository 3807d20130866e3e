#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares, page by page, document.body.innerHTML in headless Chromium with the body that
# quorvel-page reads, for every *.html in a folder served on 127.0.0.1. A developer's tool, not
# part of CI: it installs Debian's chromium when it is missing.
#
#   tools/browser-diff/browser-diff.sh FOLDER [--page PATH-TO-quorvel-page] [--write-golden]
#
# --write-golden stores Chromium's innerHTML beside each page as NAME.body, the golden files the
# engine's tests compare with. Exit status 0 when every page matched.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if ! command -v chromium >/dev/null 2>&1; then
    echo "browser-diff: installing Debian's chromium" >&2
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y chromium
    else
        sudo apt-get install -y chromium
    fi
fi
exec python3 "$here/browser_diff.py" "$@"
