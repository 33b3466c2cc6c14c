# Sourced by scripts/run-tests and scripts/run-bench, which provide the array `cleanup`.
# Starts a throw-away PostgreSQL server and registers the SQLite and PostgreSQL ODBC drivers in a
# private odbcinst.ini (with a DSN for that server), then exports what the database tests read.

pg_services_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
pg_services_root=$(mktemp -d /tmp/quorvel-db-XXXXXX)
# The server runs as an unprivileged user that must reach its folder inside.
chmod 755 "$pg_services_root"
cleanup+=("'$pg_services_scripts/pg-test-server' stop '$pg_services_root/pg'; rm -rf '$pg_services_root'")

"$pg_services_scripts/pg-test-server" start "$pg_services_root/pg"
eval "$("$pg_services_scripts/pg-test-server" env "$pg_services_root/pg")"

pg_services_odbc_driver() {
  local path
  path=$(find /usr/lib /usr/local/lib -name "$1" -print -quit 2>/dev/null)
  [[ -n $path ]] || { echo "postgres.sh: ODBC driver $1 not found (scripts/install-deps)" >&2; return 1; }
  echo "$path"
}

pg_services_sqlite_odbc=$(pg_services_odbc_driver libsqlite3odbc.so)
pg_services_postgres_odbc=$(pg_services_odbc_driver psqlodbcw.so)
# One private ODBC configuration folder for every service script, whichever runs first (never
# one that ODBCSYSINI named before: that may be the machine's own).
if [[ -z ${QUORVEL_TEST_ODBC_DIR:-} ]]; then
  export QUORVEL_TEST_ODBC_DIR=$pg_services_root/odbc
  mkdir -p "$QUORVEL_TEST_ODBC_DIR"
fi
export ODBCSYSINI=$QUORVEL_TEST_ODBC_DIR
cat >>"$QUORVEL_TEST_ODBC_DIR/odbcinst.ini" <<INI

[Quorvel SQLite3]
Driver=$pg_services_sqlite_odbc

[Quorvel PostgreSQL]
Driver=$pg_services_postgres_odbc
INI
# UseDeclareFetch makes the PostgreSQL driver read rows through a cursor instead of all at once.
cat >>"$QUORVEL_TEST_ODBC_DIR/odbc.ini" <<INI

[QuorvelTestPG]
Driver=Quorvel PostgreSQL
Servername=127.0.0.1
Port=$QUORVEL_TEST_PG_PORT
Database=quorvel_test
UseDeclareFetch=1
INI

export QUORVEL_TEST_ODBC_SQLITE_DRIVER='Quorvel SQLite3'
export QUORVEL_TEST_ODBC_PG_DRIVER='Quorvel PostgreSQL'
export QUORVEL_TEST_ODBC_PG_DSN=QuorvelTestPG
export QUORVEL_TEST_ODBC_PG_SERVER="DRIVER={Quorvel PostgreSQL};Servername=127.0.0.1;Port=$QUORVEL_TEST_PG_PORT;Database=quorvel_test;UseDeclareFetch=1"
export QUORVEL_TEST_ODBC_PG="$QUORVEL_TEST_ODBC_PG_SERVER;UID=quorvel"
