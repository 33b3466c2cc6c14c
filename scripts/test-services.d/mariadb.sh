# Sourced by scripts/run-tests and scripts/run-bench, which provide the array `cleanup`.
# Starts a throw-away MariaDB server and registers the MariaDB ODBC driver (with a DSN for that
# server) in the private ODBC configuration of the test services, then exports what the tests read.

mariadb_services_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mariadb_services_root=$(mktemp -d /tmp/quorvel-mariadb-XXXXXX)
# The server runs as an unprivileged user that must reach its folder inside.
chmod 755 "$mariadb_services_root"
cleanup+=("'$mariadb_services_scripts/mariadb-test-server' stop '$mariadb_services_root/server'; rm -rf '$mariadb_services_root'")

"$mariadb_services_scripts/mariadb-test-server" start "$mariadb_services_root/server"
eval "$("$mariadb_services_scripts/mariadb-test-server" env "$mariadb_services_root/server")"

source "$mariadb_services_scripts/odbc-test-config"
mariadb_services_driver=$(odbc_test_driver mariadb.sh libmaodbc.so)

odbc_test_dir "$mariadb_services_root"
cat >>"$QUORVEL_TEST_ODBC_DIR/odbcinst.ini" <<INI

[Quorvel MariaDB]
Driver=$mariadb_services_driver
INI
cat >>"$QUORVEL_TEST_ODBC_DIR/odbc.ini" <<INI

[QuorvelTestMariaDB]
Driver=Quorvel MariaDB
SERVER=127.0.0.1
PORT=$QUORVEL_TEST_MARIADB_PORT
DATABASE=quorvel_test
INI

export QUORVEL_TEST_MARIADB_DRIVER='Quorvel MariaDB'
export QUORVEL_TEST_MARIADB_DSN=QuorvelTestMariaDB
# Without and with the test user's name and password.
export QUORVEL_TEST_MARIADB_SERVER="DRIVER={Quorvel MariaDB};SERVER=127.0.0.1;PORT=$QUORVEL_TEST_MARIADB_PORT;DATABASE=quorvel_test"
export QUORVEL_TEST_MARIADB="DRIVER={Quorvel MariaDB};$QUORVEL_TEST_MARIADB_ATTRIBUTES"
