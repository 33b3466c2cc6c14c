#!/usr/bin/env bash
# Quorvel beside two other programs that run SQL checks on a schedule, on the same work: 24
# statements, each a count over a 10,000-row table, once a second, nothing acting on the results.
# Each program runs alone against a throw-away PostgreSQL server (scripts/pg-test-server) with
# pg_stat_statements loaded, which counts the checks that the server really ran. Per program:
#   checks       statements executed during the window (pg_stat_statements)
#   client       processor time of the program's whole process tree per check, in µs
#   server       processor time of the server's processes per check, in µs
#   connections  the program's sessions on the server (pg_stat_activity) in the middle of the window
# Processor time comes from a cgroup v2 of each side when one can be made (it also holds the time
# of exited processes), else from /proc/PID/stat of the process tree (utime + stime, and cutime +
# cstime for children already reaped).
# The peers are collectd's postgresql plugin and prometheus-sql-exporter, from Debian
# (scripts/install-deps --bench); a peer that is not installed is left out. Each runs in the
# foreground with a configuration written into the temporary folder. Console lines of quorvel go
# into a pipe that a reader outside the measured tree reads, as the journal would.
# With QUORVEL_BASELINE=/path/to/quorvel (see scripts/run-bench) another build runs beside it.
# Usage: bench/peer_sql.sh [QUORVEL] [SECONDS] [ROUNDS]   (SECONDS: the window, 30; ROUNDS: 1)
set -euo pipefail
cd "$(dirname "$0")/.."
quorvel=${1:-build/quorvel}
seconds=${2:-30}
rounds=${3:-1}
warmup=3
work=$(mktemp -d /tmp/quorvel-peers-XXXXXX)
chmod 755 "$work" # the server's user reaches its folder inside
pg=$work/pg
client_pid=

stop_all() {
  if [[ -n $client_pid ]]; then
    kill -TERM "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
  fi
  scripts/pg-test-server stop "$pg" >/dev/null 2>&1 || true
  [[ -z $cgroup_root ]] || rmdir "$cgroup_root"/quorvel-peers-$$-* 2>/dev/null || true
  rm -rf "$work"
}
trap stop_all EXIT

# --- processor time -------------------------------------------------------------------------

# QUORVEL_BENCH_CGROUP= (empty) measures from /proc even where a cgroup could be made.
cgroup_root=${QUORVEL_BENCH_CGROUP-$(awk '$3 == "cgroup2" { print $2; exit }' /proc/mounts)}

# Makes a cgroup NAME and prints its folder; prints nothing when that cannot be done here.
make_cgroup() {
  local cg=$cgroup_root/quorvel-peers-$$-$1
  [[ -n $cgroup_root ]] || return 0
  mkdir "$cg" 2>/dev/null || return 0
  if [[ -r $cg/cpu.stat ]] && (echo "$BASHPID" >"$cg/cgroup.procs") 2>/dev/null; then
    echo "$cg"
  else
    rmdir "$cg" 2>/dev/null || true
  fi
}

# Microseconds of processor time: of cgroup CG when it is given, else of the tree of process PID.
cpu_us() {
  local cg=$1 pid=$2
  if [[ -n $cg ]]; then
    awk '$1 == "usage_usec" { print $2 }' "$cg/cpu.stat"
    return
  fi
  # Live threads from their schedstat (nanoseconds, exact); processes already reaped from their
  # parents' cutime + cstime. Fields after the command's closing parenthesis: ppid is the 2nd,
  # cutime and cstime the 14th and 15th.
  local hz reaped ns=0 p t
  hz=$(getconf CLK_TCK)
  mapfile -t tree < <(for stat in /proc/[0-9]*/stat; do
    sed 's/^\([0-9]*\) .*) /\1 /' "$stat" 2>/dev/null || true
  done | awk -v root="$pid" '
    { parent[$1] = $3; reaped[$1] = $15 + $16 }
    END {
      for (p in parent) for (q = p; q != "" && q != 0; q = parent[q]) if (q == root) { print p; ticks += reaped[p]; break }
      print "reaped", ticks
    }')
  for p in "${tree[@]}"; do
    if [[ $p == reaped* ]]; then
      reaped=${p#reaped }
      continue
    fi
    for t in /proc/"$p"/task/*/schedstat; do
      read -r t _ <"$t" 2>/dev/null && ns=$((ns + t))
    done
  done
  echo $((ns / 1000 + reaped * 1000000 / hz))
}

# Runs a command inside cgroup CG (when given) and exec's it, so that the pid is the command's.
run_in() {
  local cg=$1
  shift
  [[ -z $cg ]] || echo "$BASHPID" >"$cg/cgroup.procs"
  exec "$@"
}

# --- the server -----------------------------------------------------------------------------

psql_admin() {
  "$pg_bin/psql" -X -q -At -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U quorvel_admin -d quorvel_test "$@"
}

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
server_cg=$(make_cgroup server)
(
  [[ -z $server_cg ]] || echo "$BASHPID" >"$server_cg/cgroup.procs"
  QUORVEL_PG_PRELOAD=pg_stat_statements scripts/pg-test-server start "$pg"
)
port=$(scripts/pg-test-server port "$pg")
server_pid=$(head -n 1 "$pg/data/postmaster.pid")
psql_admin <<'SQL'
CREATE EXTENSION pg_stat_statements;
CREATE TABLE peer_t (n int PRIMARY KEY, v int);
INSERT INTO peer_t SELECT i, i * 7 FROM generate_series(1, 10000) AS i;
GRANT SELECT ON peer_t TO quorvel;
VACUUM ANALYZE peer_t;
SQL

# The column is named, as collectd's plugin needs to take a value from it.
statement() { echo "SELECT count(*) AS count FROM peer_t WHERE v % 24 = $1"; }
checks_so_far() {
  psql_admin -c "SELECT coalesce(sum(calls), 0) FROM pg_stat_statements WHERE query LIKE '%FROM peer_t WHERE%'"
}
sessions() {
  psql_admin -c "SELECT count(*) FROM pg_stat_activity WHERE usename = 'quorvel' AND backend_type = 'client backend'"
}

# --- the programs' configurations -----------------------------------------------------------

# A quorvel project; SHARE 1 has its events share connections (ShareConnections).
write_project() {
  local share=$1 i
  printf '[Common]\nItems = 24\n'
  [[ $share -eq 0 ]] || printf 'ShareConnections = 1\n'
  for i in $(seq 0 23); do
    printf '[Item%d]\nEventNote = "check %d"\nbNeedConnect = 1\nSQL = "%s"\n' "$i" "$i" "$(statement "$i")"
    printf 'intType = 1\niInterval = 1\n[Item%d_connect]\ntype = 1\n' "$i"
    printf 'target = "host=127.0.0.1 port=%s dbname=quorvel_test user=quorvel"\n' "$port"
  done
}
write_project 0 >"$work/own.qvl"
write_project 1 >"$work/shared.qvl"

{
  printf 'jobs:\n- name: peers\n  interval: 1s\n  connections:\n'
  printf "  - 'postgres://quorvel@127.0.0.1:%s/quorvel_test?sslmode=disable'\n" "$port"
  printf '  queries:\n'
  for i in $(seq 0 23); do
    printf '  - name: check_%d\n    help: check %d\n    values: [count]\n    query: %s\n' "$i" "$i" "$(statement "$i")"
  done
} >"$work/exporter.yml"

{
  printf 'Hostname "bench"\nFQDNLookup false\nBaseDir "%s"\nPIDFile "%s/collectd.pid"\n' "$work" "$work"
  printf 'TypesDB "/usr/share/collectd/types.db"\nInterval 1\nLoadPlugin postgresql\n<Plugin postgresql>\n'
  for i in $(seq 0 23); do
    printf '  <Query check_%d>\n    Statement "%s"\n' "$i" "$(statement "$i")"
    printf '    <Result>\n      Type gauge\n      InstancePrefix "check_%d"\n      ValuesFrom "count"\n    </Result>\n  </Query>\n' "$i"
  done
  printf '  <Database quorvel_test>\n    Host "127.0.0.1"\n    Port "%s"\n    User "quorvel"\n' "$port"
  for i in $(seq 0 23); do printf '    Query check_%d\n' "$i"; done
  printf '  </Database>\n</Plugin>\n'
} >"$work/collectd.conf"

# --- measuring ------------------------------------------------------------------------------

# Runs one program (the command after NAME) for the warm-up and the window, and prints its row.
measure() {
  local name=$1
  shift
  local cg
  cg=$(make_cgroup "client-$RANDOM")
  rm -f "$work/lines"
  mkfifo "$work/lines"
  wc -l <"$work/lines" >"$work/line-count" &
  local reader=$!
  XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state run_in "$cg" "$@" >"$work/lines" 2>"$work/stderr" &
  client_pid=$!
  sleep "$warmup"
  local c0 s0 n0 c1 s1 n1 conns
  c0=$(cpu_us "$cg" "$client_pid")
  s0=$(cpu_us "$server_cg" "$server_pid")
  n0=$(checks_so_far)
  sleep $((seconds / 2))
  conns=$(sessions)
  sleep $((seconds - seconds / 2))
  c1=$(cpu_us "$cg" "$client_pid")
  s1=$(cpu_us "$server_cg" "$server_pid")
  n1=$(checks_so_far)
  kill -TERM "$client_pid" 2>/dev/null || true
  wait "$client_pid" 2>/dev/null || true
  client_pid=
  wait "$reader" || true
  [[ -z $cg ]] || rmdir "$cg" 2>/dev/null || true
  local checks=$((n1 - n0))
  awk -v name="$name" -v n="$checks" -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v conns="$conns" \
    -v lines="$(cat "$work/line-count")" -v secs="$seconds" -v warm="$warmup" 'BEGIN {
      d = n > 0 ? n : 1
      printf "%-40s %7d %12.0f %12.0f %12d %10.1f\n", name, n, c / d, s / d, conns, lines / (secs + warm)
    }'
  # Warnings and errors of the run, such as a key that this build does not know yet.
  grep -i 'warning\|error' "$work/stderr" | sed 's/^/    /' | head -n 3 || true
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
if [[ -n $server_cg ]]; then
  echo "processor time from cgroups under $cgroup_root"
else
  echo "processor time from /proc/PID/stat of each process tree"
fi
printf '%-40s %7s %12s %12s %12s %10s\n' program checks "client µs" "server µs" connections "lines/s"
for _ in $(seq 1 "$rounds"); do
  measure "quorvel, own connections, all lines" "$quorvel" -c --console-lines=all "$work/own.qvl"
  measure "quorvel, own connections, changes" "$quorvel" -c --console-lines=changes "$work/own.qvl"
  measure "quorvel, shared connections, all lines" "$quorvel" -c --console-lines=all "$work/shared.qvl"
  measure "quorvel, shared connections, changes" "$quorvel" -c --console-lines=changes "$work/shared.qvl"
  if [[ -n ${QUORVEL_BASELINE:-} ]]; then
    measure "baseline, own connections, all lines" "$QUORVEL_BASELINE" -c --console-lines=all "$work/own.qvl"
    measure "baseline, own connections, changes" "$QUORVEL_BASELINE" -c --console-lines=changes "$work/own.qvl"
  fi
  if command -v prometheus-sql-exporter >/dev/null; then
    # The environment of Debian's service (/etc/default/prometheus-sql-exporter).
    port2=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    measure "prometheus-sql-exporter" env GOGC=40 LOGLEVEL=WARN prometheus-sql-exporter \
      -config.file "$work/exporter.yml" -web.listen-address "127.0.0.1:$port2"
  else
    echo "prometheus-sql-exporter: not installed (scripts/install-deps --bench)"
  fi
  if [[ -x /usr/sbin/collectd && -e /usr/lib/collectd/postgresql.so ]]; then
    measure "collectd, postgresql plugin" /usr/sbin/collectd -f -C "$work/collectd.conf"
  else
    echo "collectd: not installed (scripts/install-deps --bench)"
  fi
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
