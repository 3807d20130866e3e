#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# aria2 JSON-RPC latency while a transfer runs at full speed, quorvel-batch --enable-rpc beside
# aria2c --enable-rpc in one run, each holding N waiting entries (default 10000): tellWaiting(0,
# 1000) and tellStatus of one entry, p50 and p99, then addUri at 100 a second for S seconds
# (default 60); and the transfer's throughput while each kind of call runs and while they all
# do, beside its throughput for Q seconds (default 20) just before, when none do.
#
# Each side gets N entries that wait paused (quorvel-batch from its list file, aria2c with
# --pause), then a row of 1 GiB downloads from a private nginx on 127.0.0.1, one at a time, each
# file removed by the command after it (--on-download-complete), so that a transfer runs from
# the quiet phase to the end of the calls. Throughput is each file's size over its time in
# nginx's log, the median of the files wholly inside a phase. The sides run one after the other,
# so that neither's transfer takes the other's CPU. Calls are paced (tellWaiting 20, tellStatus
# 200, addUri 100 a second), as a client polls, and under quorvel-batch's cap of 500 requests a
# second. Not for CI: it moves tens of GiB over loopback.
#
# Unlimited, a loopback transfer takes a core or more of this machine's CPU, which the calls
# then share: QUORVEL_BENCH_LINE_RATE (nginx's limit_rate, e.g. 100m for about a gigabit line)
# makes "full speed" a line's instead, the same for both sides. Without it, quorvel-paced is
# quorvel-batch once more with nginx holding its transfer to the speed aria2c's reached before
# its calls in this run: both moving the same bytes, so that the kernel's and nginx's work for
# them weighs the same on each side's calls.
#
# Usage: bench/rpc/run.sh [entries] [seconds] [quiet seconds]; builds into build-bench
# (QUORVEL_BENCH_BUILD overrides).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
entries=${1:-10000}
seconds=${2:-60}
quiet=${3:-20}
build=${QUORVEL_BENCH_BUILD:-$root/build-bench}
files=400
line_rate=${QUORVEL_BENCH_LINE_RATE:-0}

command -v aria2c > /dev/null || apt-get install -y aria2 > /dev/null
command -v nginx > /dev/null || apt-get install -y nginx-light > /dev/null
if [ -z "${QUORVEL_BENCH_BUILD:-}" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j2 --target quorvel-batch > /dev/null

source "$root/bench/nginx.sh"
work=$(mktemp -d)
touch "$work/pids"
stop_all() {
  while read -r pid; do kill -KILL "$pid" 2> /dev/null || true; done < "$work/pids"
  : > "$work/pids"
  wait 2> /dev/null || true
}
cleanup() {
  stop_all
  stop_nginx "$work"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/home"
export HOME="$work/home" XDG_STATE_HOME="$work/home" XDG_CONFIG_HOME="$work/home" XDG_DATA_HOME="$work/home"
secret=$(head -c 12 /dev/urandom | base64)
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

start_nginx "$work" '$msec $request_time $body_bytes_sent $request_uri' "$line_rate"
big=$big_url

# Both programs run it as aria2 does: id, number of files, path.
printf '#!/bin/sh\nrm -f "$3"\n' > "$work/remove.sh"
chmod 755 "$work/remove.sh"
for i in $(seq "$entries"); do printf 'http://127.0.0.1:9/file%s.bin\n quorvel-state=paused\n' "$i"; done > "$work/quorvel.txt"
for i in $(seq "$entries"); do echo "http://127.0.0.1:9/file$i.bin"; done > "$work/aria2.txt"

# Starts a server and waits (60 s at most) until it answers on its port.
serve() { # port command...
  local port=$1
  shift
  "$@" > "$work/$port.log" 2>&1 &
  echo $! >> "$work/pids"
  for _ in $(seq 600); do
    curl -s -o /dev/null "http://127.0.0.1:$port/jsonrpc" && return
    sleep 0.1
  done
  echo "no answer on port $port:" >&2
  cat "$work/$port.log" >&2
  exit 1
}

# Adds the row of big downloads to the server on port, tagged with side in their URLs, each
# held by nginx to rate bytes a second if one is given.
add_transfers() { # port side [rate]
  python3 - "$1" "$secret" "$big" "$2" "$files" "${3:-}" << 'PY'
import json, sys, urllib.request
port, secret, big, side, files, rate = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5]), sys.argv[6]
held = f"&rate={rate}" if rate else ""
calls = [{"jsonrpc": "2.0", "id": str(i), "method": "aria2.addUri",
          "params": ["token:" + secret, [f"{big}?{side}={i}{held}"], {"pause": "false", "out": f"big{i}.bin"}]}
         for i in range(files)]
request = urllib.request.Request(f"http://127.0.0.1:{port}/jsonrpc", json.dumps(calls).encode(),
                                 {"Content-Type": "application/json"})
for answer in json.load(urllib.request.urlopen(request, timeout=60)):
    if "error" in answer:
        raise SystemExit(f"{side}: addUri: {answer['error']}")
PY
}

# The median MiB/s of side's files whose transfer lay wholly between from and to (epoch seconds).
throughput() { # side from to
  awk -v side="$1" -v from="$2" -v to="$3" '
    index($4, "?" side "=") && $3 == 1073741824 && $2 > 0 && $1 - $2 >= from && $1 <= to { print 1024 / $2 }
  ' "$work/access.log" | sort -g | awk '{ v[NR] = $1 } END { if (NR) printf "%.0f (%d files)", v[int((NR + 1) / 2)], NR; else print "none" }'
}

run_side() { # name port rate command...
  local name=$1 port=$2 rate=$3
  shift 3
  serve "$port" "$@"
  add_transfers "$port" "$name" "$rate"
  # The first file is under way before the quiet phase starts.
  sleep 3
  local quiet_from quiet_to calls_from calls_to
  quiet_from=$(date +%s.%N)
  sleep "$quiet"
  quiet_to=$(date +%s.%N)
  calls_from=$quiet_to
  python3 "$root/bench/rpc/latency.py" "$port" "$secret" "$name" "$seconds" > "$work/$name.latency"
  calls_to=$(date +%s.%N)
  stop_all
  while IFS=$'\t' read -r side what p50 p99 from to; do
    printf '%s\t%s\t%s\t%s\t%s\n' "$side" "$what" "$p50" "$p99" "$(throughput "$side" "$from" "$to")"
  done < "$work/$name.latency" > "$work/$name.figures"
  echo "$name	$(throughput "$name" "$quiet_from" "$quiet_to")	$(throughput "$name" "$calls_from" "$calls_to")" \
    >> "$work/throughput"
}

run_quorvel() { # name rate
  local port
  port=$(free_port)
  run_side "$1" "$port" "$2" env QUORVEL_RPC_SECRET="$secret" "$build/batch/quorvel-batch" --enable-rpc \
    --rpc-listen-port "$port" --folder "$work/q" --on-download-complete "$work/remove.sh" "$work/quorvel.txt"
  rm -rf "$work/q" "$work/home/quorvel"
}

run_quorvel quorvel-batch ""
a_port=$(free_port)
run_side aria2c "$a_port" "" aria2c --no-conf -q --enable-rpc --rpc-listen-port "$a_port" --rpc-secret "$secret" \
  --pause --max-concurrent-downloads=1 --split=1 --max-connection-per-server=1 --file-allocation=none \
  --on-download-complete="$work/remove.sh" -i "$work/aria2.txt" -d "$work/a"
sides="quorvel-batch aria2c"
aria2_quiet=$(awk -F'\t' '$1 == "aria2c" { split($2, figure, " "); print figure[1] }' "$work/throughput")
if [ "$line_rate" = 0 ] && [ "$aria2_quiet" != none ]; then
  run_quorvel quorvel-paced $((aria2_quiet * 1048576))
  sides="$sides quorvel-paced"
  echo "quorvel-paced: quorvel-batch with its transfer held to aria2c's $aria2_quiet MiB/s"
fi

echo "aria2c: $(aria2c --version | head -1); $entries entries waiting, a 1 GiB transfer running" \
  "(line rate: ${QUORVEL_BENCH_LINE_RATE:-unlimited})"
printf '%-14s %-22s %10s %10s   %s\n' "" "" "p50 (ms)" "p99 (ms)" "transfer MiB/s meanwhile"
for side in $sides; do cat "$work/$side.figures"; done |
  awk -F'\t' '{ printf "%-14s %-22s %10s %10s   %s\n", $1, $2, $3, $4, $5 }'
printf '\n%-14s %-24s %-24s\n' "transfer MiB/s" "no calls" "during the calls"
awk -F'\t' '{ printf "%-14s %-24s %-24s\n", $1, $2, $3 }' "$work/throughput"
