# Sourced by scripts/run-tests: starts a node_exporter with its default collectors on a free
# loopback port for the remote counter tests, and exports QUORVEL_TEST_NODE_EXPORTER=127.0.0.1:PORT.

node_exporter_start() {
  local binary=/usr/bin/prometheus-node-exporter
  [[ -x $binary ]] || { echo "node-exporter.sh: $binary is missing (scripts/install-deps installs it)" >&2; return 1; }
  local port log pid
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  log=$(mktemp "${TMPDIR:-/tmp}/quorvel-node-exporter.XXXXXX")
  "$binary" --web.listen-address="127.0.0.1:$port" >"$log" 2>&1 &
  pid=$!
  cleanup+=("kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f '$log'")
  # Wait up to 10 s for the first page.
  if ! python3 - "$port" <<'PY'
import sys, time, urllib.request
url = "http://127.0.0.1:%s/metrics" % sys.argv[1]
direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))
for _ in range(100):
    try:
        with direct.open(url, timeout=1) as page:
            if page.status == 200:
                sys.exit(0)
    except OSError:
        time.sleep(0.1)
sys.exit(1)
PY
  then
    echo "node-exporter.sh: node_exporter did not answer on 127.0.0.1:$port:" >&2
    cat "$log" >&2
    return 1
  fi
  export QUORVEL_TEST_NODE_EXPORTER="127.0.0.1:$port"
}

node_exporter_start
