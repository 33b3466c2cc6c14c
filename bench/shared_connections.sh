#!/usr/bin/env bash
# A console run of 24 SQL events at one check a second each on the PostgreSQL server of the test
# services, with every event on its own connection and with ShareConnections: the most server
# connections the run held (pg_stat_activity, sampled every 0.1 s) and the server's processor time
# per check (the run's backends' time on a processor, /proc/PID/schedstat, nanoseconds, from two
# seconds after the start to just before the stop).
# Usage: bench/shared_connections.sh [QUORVEL] [SECONDS]   (QUORVEL_TEST_PG set, as by run-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
quorvel=${1:-build/quorvel}
seconds=${2:-20}
: "${QUORVEL_TEST_PG:?run through scripts/run-bench, which starts the server}"
work=$(mktemp -d /tmp/quorvel-shared-XXXXXX)
trap 'rm -rf "$work"' EXIT
app=quorvel_bench_$$

project() {
  printf '[Common]\nItems = 24\nShareConnections = %d\nReport = "%s/report.txt"\n' "$1" "$work"
  for i in $(seq 0 23); do
    printf '[Item%d]\nEventNote = "check %d"\nSQL = "SELECT count(*) FROM pg_class WHERE oid > %d"\n' "$i" "$i" "$i"
    printf 'intType = 1\niInterval = 1\n[Item%d_connect]\ntype = 1\ntarget = "%s application_name=%s"\n' \
      "$i" "$QUORVEL_TEST_PG" "$app"
  done
}

sql() { psql "$QUORVEL_TEST_PG" -Atc "$1"; }
# Processor nanoseconds of the run's backends so far, one "pid ns" line each.
backend_ns() {
  local pid ns
  for pid in $(sql "SELECT pid FROM pg_stat_activity WHERE application_name = '$app'"); do
    read -r ns _ <"/proc/$pid/schedstat" 2>/dev/null && echo "$pid $ns"
  done
}
report_lines() { iconv -f UTF-16LE -t UTF-8 "$work/report.txt" | grep -c $'\t' || true; }

printf '%-6s %8s %12s %16s\n' share checks connections "server µs/check"
for share in 0 1; do
  project "$share" >"$work/p.qvl"
  rm -f "$work/report.txt"
  "$quorvel" -c --console-lines=none "$work/p.qvl" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  backend_ns >"$work/before"
  checks0=$(report_lines)
  peak=0
  for _ in $(seq $((seconds * 10))); do
    n=$(sql "SELECT count(*) FROM pg_stat_activity WHERE application_name = '$app'")
    ((n > peak)) && peak=$n
    sleep 0.1
  done
  backend_ns >"$work/after"
  checks=$(($(report_lines) - checks0))
  kill -TERM "$pid"
  wait "$pid" || true
  # A backend that came after the first look counts from 0.
  used=$(awk 'NR == FNR { before[$1] = $2; next } { used += $2 - before[$1] } END { print used + 0 }' \
    "$work/before" "$work/after")
  awk -v s="$share" -v c="$checks" -v p="$peak" -v u="$used" \
    'BEGIN { printf "%-6s %8d %12d %16.1f\n", s, c, p, c ? u / 1000 / c : 0 }'
done
