#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Latency of aria2 JSON-RPC calls against one server, over one kept-alive HTTP connection: from
the request sent to the whole answer received; each answer is then parsed and checked.

Usage: latency.py PORT SECRET NAME ADD_SECONDS
Prints one line per figure: NAME, what, p50 and p99 in milliseconds, and the epoch seconds the
calls began and ended, so that the transfer's throughput can be read for each kind of call.
"""
import http.client
import json
import sys
import time

port, secret, name, add_seconds = int(sys.argv[1]), sys.argv[2], sys.argv[3], float(sys.argv[4])
connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
calls = 0


def call(method, *params, answered=None):
    """The call's result; answered, when given, is called as soon as the whole answer is in, before
    it is parsed: the client's own parsing is no part of the server's latency."""
    global calls
    calls += 1
    body = json.dumps({"jsonrpc": "2.0", "id": str(calls), "method": method,
                       "params": ["token:" + secret, *params]})
    connection.request("POST", "/jsonrpc", body, {"Content-Type": "application/json"})
    response = connection.getresponse()
    text = response.read()
    if answered:
        answered()
    if response.status != 200:
        raise SystemExit(f"{name}: {method}: HTTP {response.status} {text[:100]!r}")
    answer = json.loads(text)
    if "error" in answer:
        raise SystemExit(f"{name}: {method}: {answer['error']}")
    return answer["result"]


def timed(count, per_second, method, *params):
    """count calls, each on time at per_second or as soon as the one before has been answered:
    a client's pace, under the server's cap on requests per second."""
    times = []
    began_at = time.time()
    start = time.perf_counter()
    for i in range(count):
        time.sleep(max(0.0, start + i / per_second - time.perf_counter()))
        began = time.perf_counter()
        call(method, *params, answered=lambda: times.append((time.perf_counter() - began) * 1000))
    times.sort()
    return times[len(times) // 2], times[min(len(times) - 1, len(times) * 99 // 100)], began_at, time.time()


def report(what, figures):
    print(f"{name}\t{what}\t{figures[0]:.2f}\t{figures[1]:.2f}\t{figures[2]:.3f}\t{figures[3]:.3f}")


waiting = call("aria2.tellWaiting", 0, 1000, ["gid"])
if len(waiting) < 1000:
    raise SystemExit(f"{name}: only {len(waiting)} entries waiting")
gid = waiting[len(waiting) // 2]["gid"]
report("tellWaiting(0, 1000)", timed(200, 20, "aria2.tellWaiting", 0, 1000))
report("tellStatus(one)", timed(1000, 200, "aria2.tellStatus", gid))
report("addUri at 100/s", timed(int(add_seconds * 100), 100, "aria2.addUri", ["http://127.0.0.1:9/added.bin"]))
