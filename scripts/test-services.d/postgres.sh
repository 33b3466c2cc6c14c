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

source "$pg_services_scripts/odbc-test-config"

pg_services_sqlite_odbc=$(odbc_test_driver postgres.sh libsqlite3odbc.so)
pg_services_postgres_odbc=$(odbc_test_driver postgres.sh psqlodbcw.so)
odbc_test_dir "$pg_services_root"
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
