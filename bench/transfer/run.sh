#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fetches 1 GiB (QUORVEL_BENCH_SIZE, e.g. 4G, for another size) from a private nginx on
# 127.0.0.1, through TDownloadFile without and with a sha-256 checksum to check, and with
# `curl -o`, in turn, and reports the median throughput of each, the ratios, how busy the
# machine's processors were during each kind (a transfer that keeps them all busy leaves no
# core to hash on), the bench's peak memory and the UI thread's event latency during the
# transfer. Then it stops a transfer of a random 1 GiB file at 90 %, starts it again, checks the
# result byte for byte and reports, from nginx's log, the bytes fetched again after the cut.
# QUORVEL_BENCH_LINE_RATE (nginx's limit_rate, e.g. 1100m for about a 10 gigabit line) holds
# every transfer to a line's rate. Not for CI: it writes several GiB.
# Usage: bench/transfer/run.sh [runs] (default 5; 0 for the resume figure alone); builds into
# build-bench, or takes the bench program from QUORVEL_TRANSFER_BENCH.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-5}
build="$root/build-bench"

bench=${QUORVEL_TRANSFER_BENCH:-}
if [ -z "$bench" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF > /dev/null
  cmake --build "$build" -j2 --target quorvel_transfer_bench > /dev/null
  bench="$build/bench/transfer/quorvel_transfer_bench"
fi

source "$root/bench/nginx.sh"
work=$(mktemp -d)
cleanup() {
  stop_nginx "$work"
  rm -rf "$work"
}
trap cleanup EXIT
start_nginx "$work" '$status $body_bytes_sent' "${QUORVEL_BENCH_LINE_RATE:-0}" "${QUORVEL_BENCH_SIZE:-1G}"
url=$big_url

mib=$(($(stat -c %s "$work/www/big.bin") / 1048576))
digest="sha-256=$(sha256sum "$work/www/big.bin" | cut -d' ' -f1)"
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<< "$2"; }
throughput() { awk -v s="$1" -v m=$mib 'BEGIN { print m / s }'; }
# The share of all processors' time that was not idle since the last call.
busy_since=""
cpu_busy() {
  local now
  now=$(awk '/^cpu / { print $2 + $3 + $4 + $7 + $8, $5 + $6 }' /proc/stat)
  if [ -n "$busy_since" ]; then
    awk -v a="$busy_since" -v b="$now" 'BEGIN { split(a, x, " "); split(b, y, " ");
      busy = y[1] - x[1]; idle = y[2] - x[2]; print busy * 100 / (busy + idle) }'
  fi
  busy_since=$now
}
for figure in quorvel checked curl rss latmed latmax; do : > "$work/$figure.txt"; done
for kind in quorvel checked curl; do : > "$work/$kind.busy"; done
# Each transfer starts with no dirty pages of the one before still being written back: the
# first after a removed GiB would otherwise share the disk, and every order favours one side.
for run in $(seq "$runs"); do
  sync
  cpu_busy > /dev/null
  line=$(/usr/bin/time -f "maxrss_kib=%M" "$bench" "$url" "$work/quorvel.bin" 2>&1)
  cpu_busy >> "$work/quorvel.busy"
  rm -f "$work/quorvel.bin"
  echo "quorvel run $run: $line"
  throughput "$(field seconds "$line")" >> "$work/quorvel.txt"
  field maxrss_kib "$line" >> "$work/rss.txt"
  field lat_median_ms "$line" >> "$work/latmed.txt"
  field lat_max_ms "$line" >> "$work/latmax.txt"

  sync
  cpu_busy > /dev/null
  line=$(/usr/bin/time -f "maxrss_kib=%M" "$bench" "$url" "$work/checked.bin" --checksum "$digest" 2>&1)
  cpu_busy >> "$work/checked.busy"
  rm -f "$work/checked.bin"
  echo "quorvel with checksum run $run: $line"
  throughput "$(field seconds "$line")" >> "$work/checked.txt"
  field maxrss_kib "$line" >> "$work/rss.txt"
  field lat_max_ms "$line" >> "$work/latmax.txt"

  sync
  cpu_busy > /dev/null
  start=$(date +%s.%N)
  curl -sf -o "$work/curl.bin" "$url"
  seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
  cpu_busy >> "$work/curl.busy"
  rm -f "$work/curl.bin"
  echo "curl run $run: seconds=$seconds"
  throughput "$seconds" >> "$work/curl.txt"
done

if [ "$runs" -gt 0 ]; then
  q=$(median < "$work/quorvel.txt")
  c=$(median < "$work/curl.txt")
  echo "median throughput: quorvel $q MiB/s, curl $c MiB/s"
  awk -v q="$q" -v c="$c" 'BEGIN { printf "ratio quorvel/curl: %.2f (target >= 0.90)\n", q / c }'
  k=$(median < "$work/checked.txt")
  echo "median throughput with a sha-256 checksum: $k MiB/s"
  awk -v q="$q" -v k="$k" 'BEGIN { printf "checksum cost: %+.1f %% time over the unchecked transfer (target <= 10 %%)\n", (q / k - 1) * 100 }'
  printf 'processors busy (median): quorvel %.0f %%, with the checksum %.0f %%, curl %.0f %%\n' \
    "$(median < "$work/quorvel.busy")" "$(median < "$work/checked.busy")" "$(median < "$work/curl.busy")"
  echo "peak memory (max over runs): $(sort -n "$work/rss.txt" | tail -1) KiB (target < 65536)"
  echo "UI event latency: median of run medians $(median < "$work/latmed.txt") ms, worst $(sort -g "$work/latmax.txt" | tail -1) ms"
fi

head -c 1G /dev/urandom > "$work/www/random.bin"
chmod 644 "$work/www/random.bin"
: > "$work/access.log"
line=$("$bench" "${url%/big.bin}/random.bin" "$work/resumed.bin" --cut-at 0.9)
echo "resume run: $line"
cmp "$work/www/random.bin" "$work/resumed.bin" && echo "resumed file: byte-identical"
rm -f "$work/resumed.bin"
# nginx logs the stopped request once it notices the closed connection.
for _ in $(seq 50); do [ "$(wc -l < "$work/access.log")" -ge 2 ] && break; sleep 0.1; done
size=$((1024 * 1024 * 1024))
resumed=$(field resumed_bytes "$line")
awk -v size="$size" -v resumed="$resumed" '
  { status[NR] = $1; sent[NR] = $2 }
  END {
    printf "requests: %s %d bytes, then %s %d bytes\n", status[1], sent[1], status[2], sent[2]
    again = sent[2] - (size - resumed)
    printf "kept at the cut: %d bytes (%.2f %%); fetched again after the cut: %d bytes (%.4f %% of the file; target < 1 %%)\n", resumed, resumed * 100 / size, again, again * 100 / size
    printf "sent by the server in all: %d bytes, %.4f %% over the file size\n", sent[1] + sent[2], (sent[1] + sent[2] - size) * 100 / size
  }' "$work/access.log"
