#!/usr/bin/env bash
# Whether hostile clients of the status page slow a run: the executions a second of 24 events that
# check back to back, once without clients and once while 500 connections each hold half a request
# open (re-opened as the server drops them). Prints both rates and their ratio; the page's bounds
# (connections, time, memory) should keep the ratio near 1.
# Usage: bench/status_page_clients.sh [QUORVEL] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
quorvel=${1:-build/quorvel}
seconds=${2:-10}
work=$(mktemp -d /tmp/quorvel-clients-XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

{
  printf '[Common]\nItems = 24\nReport = "%s/report.txt"\nTextEncoding = "UTF-8"\n' "$work"
  for i in $(seq 0 23); do
    printf '[Item%d]\nEventNote = "file %d"\ntype = 1\nFileOrDir = "%s"\n' "$i" "$i" "$work"
  done
} >"$work/p.qvl"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# Executions a second over SECONDS, from the report's lines.
rate() {
  rm -f "$work/report.txt"
  "$quorvel" -c --console-lines=none --listen="127.0.0.1:$port" "$work/p.qvl" >/dev/null 2>&1 &
  local pid=$! before after
  sleep 1
  before=$(wc -l <"$work/report.txt")
  sleep "$seconds"
  after=$(wc -l <"$work/report.txt")
  kill -TERM "$pid"
  wait "$pid" || true
  echo $(((after - before) / seconds))
}

# 500 connections that each send half a request and then nothing, opened again when dropped.
hostile() {
  python3 - "$port" "$seconds" <<'PY'
import socket, sys, time
port, seconds = int(sys.argv[1]), float(sys.argv[2]) + 2
end = time.time() + seconds
socks = []
while time.time() < end:
    while len(socks) < 500:
        try:
            s = socket.create_connection(("127.0.0.1", port), timeout=1)
            s.sendall(b"GET / HTTP/1.1\r\nHost: x\r\nX-Slow: ")
            socks.append(s)
        except OSError:
            break
    time.sleep(0.5)
    alive = []
    for s in socks:
        try:
            s.send(b"a")
            alive.append(s)
        except OSError:
            s.close()
    socks = alive
PY
}

quiet=$(rate)
(sleep 0.5; hostile) &
loaded=$(rate)
wait
awk -v q="$quiet" -v l="$loaded" 'BEGIN { printf "executions/s without clients %d, with 500 half-open connections %d: ratio %.2f\n", q, l, l / q }'
