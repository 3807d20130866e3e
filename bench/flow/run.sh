#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole flow for 20 files of 50 MiB from the simulated host (no countdowns), through the
# page flow and with curl walking the same pages, in the same run; reports total wall time of
# each and the UI thread's timer lateness during the flow. Not for CI: it writes 2 GiB.
# Usage: bench/flow/run.sh [files] [MiB per file] (default 20 50); builds into build-bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
files=${1:-20}
mib=${2:-50}
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF > /dev/null
cmake --build "$build" -j2 --target quorvel_flow_bench quorvel-fakehost > /dev/null

work=$(mktemp -d)
log="$work/host.log"
"$build/tools/fakehost/quorvel-fakehost" --exit-after 1800 > "$log" &
host=$!
trap 'kill $host 2> /dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do grep -q '^listening on ' "$log" && break; sleep 0.05; done
base=$(sed -n 's/^listening on //p' "$log")

urls=()
for i in $(seq "$files"); do urls+=("$base/file/file$i.bin?size=$((mib * 1048576))&countdown=0"); done

mkdir "$work/quorvel" "$work/curl"
result=$("$build/bench/flow/quorvel_flow_bench" "$work/quorvel" "${urls[@]}")
echo "quorvel: $result"

# curl walks the same pages: the file page (for its cookie), the Free-user form, the file URL.
start=$(date +%s.%N)
for url in "${urls[@]}"; do
  jar="$work/cookies"
  page=$(curl -sf -c "$jar" "$url")
  free=$(sed -n 's/.*<form action="\([^"]*\)" method="post">.*/\1/p' <<< "$page" | head -1 | sed 's/&amp;/\&/g')
  countdown=$(curl -sf -b "$jar" -c "$jar" -d "dl.start=Free+user" "$free")
  file=$(sed -n 's/.*<form name="dlf" action="\([^"]*\)".*/\1/p' <<< "$countdown" | head -1)
  curl -sf -b "$jar" -o "$work/curl/${file##*/}" "$file"
done
curl_seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
echo "curl: seconds=$curl_seconds"
quorvel_seconds=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<< "$result")
awk -v q="$quorvel_seconds" -v c="$curl_seconds" 'BEGIN { printf "wall time quorvel/curl: %.2f\n", q / c }'
cmp -s <(cat "$work"/quorvel/*) <(cat "$work"/curl/*) && echo "files identical" || echo "FILES DIFFER"
