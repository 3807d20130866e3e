#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a C++ line changed since .clang-format came into the tree is not formatted as it
# says. Older lines are left as they are: reformatting them all would bury their history.
set -euo pipefail
cd "$(dirname "$0")/.."

base=$(git log --diff-filter=A --format=%H -- .clang-format | tail -n 1)
if [ -z "$base" ]; then
  # A shallow clone may not reach that commit; then the newest commit's lines are checked.
  if [ "$(git rev-parse --is-shallow-repository)" = true ]; then
    base=HEAD~1
  else
    echo "check-format: .clang-format is not committed yet" >&2
    exit 1
  fi
fi
out=$(git clang-format-14 --quiet --diff --extensions cpp,h "$base" -- . || true)
if [ -n "$out" ] && ! grep -q '^no modified files\|did not modify' <<<"$out"; then
  echo "$out"
  echo "check-format: the lines above are not formatted as .clang-format says;" \
    "run: git clang-format-14 $base" >&2
  exit 1
fi
echo "check-format: every line changed since $(git rev-parse --short "$base") is formatted"
