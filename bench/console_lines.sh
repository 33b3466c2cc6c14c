#!/usr/bin/env bash
# The processor time per check of a console run of 24 small SQLite checks (one row by its key) at
# one check a second each,
# with every status line (--console-lines=all), with changes only, and with none. The console goes
# into a pipe that is read, as the journal reads a service. Time is the sum of every thread's time
# on a processor (/proc/PID/task/*/schedstat, nanoseconds), from two seconds after the start (the
# start-up is not a check's cost) to just before the stop.
# Usage: bench/console_lines.sh [QUORVEL] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
quorvel=${1:-build/quorvel}
seconds=${2:-30}
work=$(mktemp -d /tmp/quorvel-lines-XXXXXX)
trap 'rm -rf "$work"' EXIT

sqlite3 "$work/t.db" "CREATE TABLE t (n INTEGER PRIMARY KEY, s TEXT);
  WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 10000)
  INSERT INTO t SELECT i, 'row ' || i FROM c;"
{
  printf '[Common]\nItems = 24\nReport = "%s/report.txt"\n' "$work"
  for i in $(seq 0 23); do
    printf '[Item%d]\nEventNote = "check %d"\nbNeedConnect = 1\nSQL = "SELECT s FROM t WHERE n = %d"\n' "$i" "$i" "$((i + 1))"
    printf 'intType = 1\niInterval = 1\n[Item%d_connect]\ntype = 0\ntarget = "%s/t.db"\n' "$i" "$work"
  done
} >"$work/p.qvl"

# CPU nanoseconds of every thread of PID so far.
cpu_ns() {
  local total=0 t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r ns _ <"$t" || continue
    total=$((total + ns))
  done
  echo "$total"
}

# Executions in the report so far.
report_lines() {
  iconv -f UTF-16LE -t UTF-8 "$work/report.txt" | grep -c $'\t' || true
}

printf '%-8s %10s %8s %14s\n' lines checks lines/s "µs per check"
for choice in all changes none; do
  rm -f "$work/report.txt"
  "$quorvel" -c --console-lines="$choice" "$work/p.qvl" 2>/dev/null > >(wc -l >"$work/lines") &
  pid=$!
  sleep 2
  ns0=$(cpu_ns "$pid")
  checks0=$(report_lines)
  sleep "$seconds"
  ns=$(($(cpu_ns "$pid") - ns0))
  checks=$(($(report_lines) - checks0))
  kill -TERM "$pid"
  wait "$pid" || true
  sleep 0.2
  lines=$(cat "$work/lines")
  awk -v c="$choice" -v n="$checks" -v l="$lines" -v ns="$ns" -v s="$seconds" \
    'BEGIN { printf "%-8s %10d %8.1f %14.1f\n", c, n, l / (s + 2), ns / n / 1000 }'
done
