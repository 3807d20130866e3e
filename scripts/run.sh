#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Quorvel's main job, on any machine and without a display: installs what is missing, builds,
# starts the simulated file host on 127.0.0.1 and lets quorvel-batch work a demo queue of it:
# pages that need "Free user", countdowns, a wait page and a file that no longer exists, and the
# host's second site, whose pages differ in every reading and are read by its shipped layout, and
# two links that are the files themselves, one named by its answer in Chinese. The files land in the folder named below (or in $1) and are compared byte for byte with the host's.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)" --target quorvel-batch quorvel-fakehost quorvel

folder=$(realpath -m "${1:-demo-downloads}")
host=build/tools/fakehost/quorvel-fakehost
log=$(mktemp)
"$host" --exit-after 900 > "$log" &
host_pid=$!
# The second site's layout, lent as the user's: the package would put it in /usr/share.
config=$(mktemp -d)
mkdir -p "$config/quorvel/layouts"
cp packaging/layouts/*.layout "$config/quorvel/layouts/"
trap 'kill "$host_pid" 2>/dev/null || true; rm -rf "$log" "$config"' EXIT
for _ in $(seq 100); do grep -q '^listening on ' "$log" && break; sleep 0.05; done
base=$(sed -n 's/^listening on //p' "$log")
[ -n "$base" ] || { echo "the simulated file host did not start" >&2; exit 1; }

# name, size, and how the host treats the page; "slow:" for the second site, "direct:" for a
# link that is the file itself, with "|" and the name its answer gives it, when it gives one
queue=(
  "quorvel-manual.pdf?size=2500000&countdown=3"
  "holiday%20photos.zip?size=12000000&countdown=4&rate=4000000"
  "old-release.tar.gz?missing=1"
  "slow:field%20notes.txt?size=900000&countdown=3"
  "slow:withdrawn.iso?missing=1"
  "dataset.csv?size=1800000&countdown=2&wait=1"
  "direct:firmware%20v2.bin?size=3000000"
  "direct:r7.bin?size=700000&filename*=%E5%B9%B4%E5%BA%A6%E6%8A%A5%E5%91%8A.pdf&filename=report.pdf|年度报告.pdf"
)
second=${base/127.0.0.1/slowfiles.localhost}
urls=()
for entry in "${queue[@]}"; do
  entry=${entry%%|*}
  case $entry in
    slow:*) urls+=("$second/slow/file/${entry#slow:}") ;;
    direct:*) urls+=("$base/direct/${entry#direct:}") ;;
    *) urls+=("$base/file/$entry") ;;
  esac
done

echo "Simulated file host: $base (a wait page makes this demo take a little over a minute)"
echo "Downloading into: $folder"
status=0
XDG_CONFIG_HOME=$config build/batch/quorvel-batch --folder "$folder" "${urls[@]}" || status=$?

echo
echo "Checking the files against the host's:"
for entry in "${queue[@]}"; do
  given=
  [[ $entry == *'|'* ]] && given=${entry#*|}
  entry=${entry%%|*}
  entry=${entry#slow:}
  entry=${entry#direct:}
  name=${entry%%\?*}
  size=$(sed -n 's/.*size=\([0-9]*\).*/\1/p' <<< "$entry")
  [[ $entry == *missing=1* ]] && { echo "  $name: missing on the host, dropped as expected"; continue; }
  saved=$(printf '%b' "${name//%/\\x}")
  [ -n "$given" ] && saved=$given
  if "$host" --print-file "$name" "$size" | cmp -s - "$folder/$saved"; then
    echo "  $saved: identical ($size bytes)"
  else
    echo "  $saved: DIFFERENT or missing" >&2
    exit 1
  fi
done
# One page of the demo reports its file missing, so quorvel-batch ends with status 1 by design.
[ "$status" -le 1 ] || exit "$status"
echo "Demo complete."
