#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian package Quorvel needs to build, test and benchmark.
# Idempotent; run as root (or through sudo). Safe to run on a machine that has them all.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format-14 libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-websockets-dev
  libcurl4-openssl-dev libssl-dev libgumbo-dev libre2-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev
  libxcb1-dev
  fonts-noto-cjk qt6-translations-l10n xvfb xauth dbus openbox x11-utils
  dpkg-dev lintian desktop-file-utils appstream
  curl nginx-light
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
