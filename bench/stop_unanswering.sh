#!/usr/bin/env bash
# How long SIGTERM takes to end a console run whose check waits for a PostgreSQL server that
# stopped answering (its processes stopped with SIGSTOP: the system still accepts connections and
# acknowledges data for it, so only the program's own bounds can end the wait).
# Usage: bench/stop_unanswering.sh QUORVEL... (each binary is measured in turn, three rounds; a
# run that has not ended 30 s after the signal is killed and counted as "> 30 s").
set -euo pipefail
cd "$(dirname "$0")/.."
(($# > 0)) || { echo "usage: $0 QUORVEL..." >&2; exit 2; }
work=$(mktemp -d /tmp/quorvel-stop-XXXXXX)
chmod 755 "$work"
trap 'signal_server CONT 2>/dev/null; scripts/pg-test-server stop "$work/pg" >/dev/null; rm -rf "$work"' EXIT
scripts/pg-test-server start "$work/pg" >/dev/null

# The postmaster and every process it started.
signal_server() {
  local postmaster
  postmaster=$(head -n 1 "$work/pg/data/postmaster.pid")
  kill -"$1" "$postmaster" $(ps -o pid= --ppid "$postmaster") 2>/dev/null || true
}

cat >"$work/p.qvl" <<QVL
[Common]
Items = 1
Summary = "$work/summary.html"

[Item0]
EventNote = "probe"
SQL = "SELECT 1"
intType = 1
iInterval = 1

[Item0_connect]
type = 1
target = "$(scripts/pg-test-server conninfo "$work/pg")"
QVL

measure() {
  rm -f "$work/summary.html"
  : >"$work/out" # there before the program starts, for the count below
  XDG_STATE_HOME=$work/state "$1" -c "$work/p.qvl" >"$work/out" 2>&1 &
  local pid=$!
  until (($(grep -c -- '-> Check passed' "$work/out" || true) >= 2)); do sleep 0.1; done
  signal_server STOP
  sleep 1.5 # the next check is now waiting for the server
  local start end
  start=$(date +%s%N)
  kill -TERM "$pid"
  local waited=0
  while kill -0 "$pid" 2>/dev/null && ((waited < 300)); do sleep 0.1; waited=$((waited + 1)); done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
    echo "$1: > 30 s (killed), summary $([[ -f $work/summary.html ]] && echo written || echo missing)"
  else
    local rc=0
    wait "$pid" || rc=$?
    end=$(date +%s%N)
    echo "$1: $(((end - start) / 1000000)) ms, exit $rc, summary $([[ -f $work/summary.html ]] && echo written || echo missing)"
  fi
  signal_server CONT
  sleep 1
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in 1 2 3; do
  for quorvel in "$@"; do measure "$quorvel"; done
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
