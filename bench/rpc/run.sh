#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# aria2 JSON-RPC latency, quorvel-batch --enable-rpc beside aria2c --enable-rpc in one run, each
# holding N waiting entries (default 10000): tellWaiting(0, 1000) and tellStatus of one entry, p50
# and p99, then addUri at 100 a second for S seconds (default 60).
#
# quorvel-batch gets the simulated host's file pages with an hour's countdown, so that its first
# entry sits in the countdown and the others wait; aria2c gets N URLs added paused (--pause), which
# its tellWaiting lists as quorvel-batch's lists its waiting ones. No transfer runs in either.
# Calls are paced (tellWaiting 20, tellStatus 200, addUri 100 a second), as a client polls, and
# under quorvel-batch's cap of 500 requests a second.
#
# Usage: bench/rpc/run.sh [entries] [seconds]; builds into build-bench (QUORVEL_BENCH_BUILD overrides).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
entries=${1:-10000}
seconds=${2:-60}
build=${QUORVEL_BENCH_BUILD:-$root/build-bench}

command -v aria2c > /dev/null || apt-get install -y aria2 > /dev/null
if [ -z "${QUORVEL_BENCH_BUILD:-}" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j2 --target quorvel-batch quorvel-fakehost > /dev/null

work=$(mktemp -d)
touch "$work/pids"
cleanup() {
  while read -r pid; do kill -KILL "$pid" 2> /dev/null || true; done < "$work/pids"
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/home"
export HOME="$work/home" XDG_STATE_HOME="$work/home" XDG_CONFIG_HOME="$work/home" XDG_DATA_HOME="$work/home"
secret=$(head -c 12 /dev/urandom | base64)
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

"$build/tools/fakehost/quorvel-fakehost" --exit-after 900 > "$work/host.log" &
echo $! >> "$work/pids"
for _ in $(seq 100); do grep -q '^listening on ' "$work/host.log" && break; sleep 0.05; done
base=$(sed -n 's/^listening on //p' "$work/host.log")
for i in $(seq "$entries"); do echo "$base/file/file$i.bin?countdown=3600"; done > "$work/quorvel.txt"
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
q_port=$(free_port)
serve "$q_port" env QUORVEL_RPC_SECRET="$secret" "$build/batch/quorvel-batch" --enable-rpc \
  --rpc-listen-port "$q_port" --folder "$work/q" "$work/quorvel.txt"
a_port=$(free_port)
serve "$a_port" aria2c --no-conf -q --enable-rpc --rpc-listen-port "$a_port" --rpc-secret "$secret" --pause \
  -i "$work/aria2.txt" -d "$work/a"

echo "aria2c: $(aria2c --version | head -1); $entries entries waiting"
printf '%-12s %-22s %10s %10s\n' "" "" "p50 (ms)" "p99 (ms)"
for side in "quorvel-batch $q_port" "aria2c $a_port"; do
  set -- $side
  python3 "$root/bench/rpc/latency.py" "$2" "$secret" "$1" "$seconds" |
    awk -F'\t' '{ printf "%-12s %-22s %10s %10s\n", $1, $2, $3, $4 }'
done
