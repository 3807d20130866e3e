#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# quorvel-batch --save-session against aria2c --save-session, each holding N unfinished entries
# (default 10000): resident memory with 1 and with N entries and the memory one entry costs, the
# size of the session file, and the time to read it back.
#
# Both programs work one entry at a time and keep the rest waiting. quorvel-batch gets the
# simulated host's file pages with an hour's countdown, so that its first entry sits in the
# countdown; aria2c gets the host's file URLs, the first one of 1 GiB at 1 byte per second
# (ticket and session cookie fetched with curl beforehand), so that its first transfer never ends and the
# others are never asked for.
#
# Read-back time, the same for both: with the host gone, a listener takes over its port, and the
# time runs from starting the program on its session file until the program's first connection
# to that port. Both read the whole file before they start their first entry (aria2c without
# --deferred-input), so the time is the program's start plus the reading of the file; the
# 1-entry figure shows the start alone. Median of 3.
#
# Usage: bench/keep/run.sh [entries]; builds into build-bench (QUORVEL_BENCH_BUILD overrides).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
entries=${1:-10000}
build=${QUORVEL_BENCH_BUILD:-$root/build-bench}

command -v aria2c > /dev/null || apt-get install -y aria2 > /dev/null
if [ -z "${QUORVEL_BENCH_BUILD:-}" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j2 --target quorvel-batch quorvel-fakehost > /dev/null
batch="$build/batch/quorvel-batch"

work=$(mktemp -d)
# Every process started goes in here, also those started in a command substitution's subshell.
touch "$work/pids"
cleanup() {
  while read -r pid; do kill -KILL "$pid" 2> /dev/null || true; done < "$work/pids"
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# Neither program may read or write the real home: aria2c reads ~/.aria2, quorvel-batch its layouts.
mkdir "$work/home"
export HOME="$work/home" XDG_STATE_HOME="$work/home" XDG_CONFIG_HOME="$work/home" XDG_DATA_HOME="$work/home"

"$build/tools/fakehost/quorvel-fakehost" --exit-after 900 > "$work/host.log" &
host=$!
echo "$host" >> "$work/pids"
for _ in $(seq 100); do grep -q '^listening on ' "$work/host.log" && break; sleep 0.05; done
base=$(sed -n 's/^listening on //p' "$work/host.log")
port=${base##*:}

# The slow file's ticket, as a browser gets it: the file page, the Free-user form, the countdown.
jar="$work/cookies.txt"
page=$(curl -sf -c "$jar" "$base/file/slow.bin?size=1073741824&countdown=0&rate=1")
free=$(sed -n 's/.*<form action="\([^"]*\)" method="post">.*/\1/p' <<< "$page" | head -1 | sed 's/&amp;/\&/g')
countdown=$(curl -sf -b "$jar" -c "$jar" -d "dl.start=Free+user" "$free")
slow=$(sed -n 's/.*<form name="dlf" action="\([^"]*\)".*/\1/p' <<< "$countdown" | head -1)
ticket=$(sed 's|.*/get/\([^/]*\)/.*|\1|' <<< "$slow")
# aria2c takes curl's jar line "#HttpOnly_127.0.0.1 ..." for a comment: the cookie goes as a header.
cookie="Cookie: fhsession=$(awk '$6 == "fhsession" { print $7 }' "$jar")"

pages() { for i in $(seq "$1"); do echo "$base/file/file$i.bin?countdown=3600"; done; }
files() {
  echo "$slow"
  for i in $(seq 2 "$1"); do echo "$base/get/$ticket/file$i.bin"; done
}

# Entry lines of a session file: both write aria2's input-file layout (options indented, comments).
entry_lines() {
  if [ -f "$1" ]; then grep -c '^[^[:space:]#]' "$1" || true; else echo 0; fi
}
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Starts a program, waits (60 s at most) until its session file holds all its entries, lets it
# settle and answers its resident memory in KiB; then stops it with SIGINT (10 s, then SIGKILL).
held_rss() {
  local session=$1 count=$2
  shift 2
  "$@" > "$work/run.log" 2>&1 &
  local pid=$!
  echo "$pid" >> "$work/pids"
  for _ in $(seq 600); do
    [ "$(entry_lines "$session")" -ge "$count" ] && break
    kill -0 "$pid" 2> /dev/null || { echo "$1 ended early:" >&2; cat "$work/run.log" >&2; exit 1; }
    sleep 0.1
  done
  [ "$(entry_lines "$session")" -ge "$count" ] || { echo "$1 did not write $count entries" >&2; exit 1; }
  sleep 2
  rss_kib "$pid"
  kill -INT "$pid"
  for _ in $(seq 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
}

quorvel() { # list session folder
  held_rss "$2" "$3" "$batch" --folder "$4" --save-session "$2" "$1"
}
aria() { # list session folder
  held_rss "$2" "$3" aria2c --no-conf -q -j 1 --split=1 --max-connection-per-server=1 --file-allocation=none \
    --enable-rpc=false --header="$cookie" -i "$1" --save-session="$2" --save-session-interval=1 -d "$4"
}

pages 1 > "$work/q1.txt"
pages "$entries" > "$work/qn.txt"
files 1 > "$work/a1.txt"
files "$entries" > "$work/an.txt"
q_rss_1=$(quorvel "$work/q1.txt" "$work/q1.session" 1 "$work/q1")
q_rss_n=$(quorvel "$work/qn.txt" "$work/qn.session" "$entries" "$work/qn")
a_rss_1=$(aria "$work/a1.txt" "$work/a1.session" 1 "$work/a1")
a_rss_n=$(aria "$work/an.txt" "$work/an.session" "$entries" "$work/an")

# The host waits for its open transfers when told to stop; the port must be free at once.
kill -KILL "$host"
wait "$host" 2> /dev/null || true

# Milliseconds from starting the command until its first connection to the host's old port.
first_connection_ms() {
  python3 - "$port" "$@" << 'PY'
import signal, socket, subprocess, sys, time
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", int(sys.argv[1])))
listener.listen(16)
listener.settimeout(60)
start = time.monotonic()
child = subprocess.Popen(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    listener.accept()
    print(round((time.monotonic() - start) * 1000))
finally:
    child.send_signal(signal.SIGINT)
    try:
        child.wait(10)
    except subprocess.TimeoutExpired:
        child.kill()
        child.wait()
PY
}
median3() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
read_back() { median3 "$("$@")" "$("$@")" "$("$@")"; }
q_read() { first_connection_ms "$batch" --folder "$work/read" "$1"; }
a_read() { first_connection_ms aria2c --no-conf -q -j 1 --enable-rpc=false -i "$1" -d "$work/read"; }
q_read_1=$(read_back q_read "$work/q1.session")
q_read_n=$(read_back q_read "$work/qn.session")
a_read_1=$(read_back a_read "$work/a1.session")
a_read_n=$(read_back a_read "$work/an.session")

per_entry() { awk -v one="$1" -v n="$2" -v count="$entries" 'BEGIN { printf "%.0f", (n - one) * 1024 / (count - 1) }'; }
row() { printf '%-30s %16s %16s\n' "$@"; }
echo "aria2c: $(aria2c --version | head -1)"
row "" "quorvel-batch" "aria2c"
row "entries" "$(entry_lines "$work/qn.session")" "$(entry_lines "$work/an.session")"
row "RSS, 1 entry (KiB)" "$q_rss_1" "$a_rss_1"
row "RSS, $entries entries (KiB)" "$q_rss_n" "$a_rss_n"
row "bytes per entry" "$(per_entry "$q_rss_1" "$q_rss_n")" "$(per_entry "$a_rss_1" "$a_rss_n")"
row "session file (bytes)" "$(stat -c %s "$work/qn.session")" "$(stat -c %s "$work/an.session")"
row "read-back, 1 entry (ms)" "$q_read_1" "$a_read_1"
row "read-back, $entries entries (ms)" "$q_read_n" "$a_read_n"
