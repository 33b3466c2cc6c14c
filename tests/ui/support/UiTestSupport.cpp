#include "support/UiTestSupport.h"
#include "support/TestEnv.h"

#include "external/support/CSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <sqlite3.h>
#include <stdexcept>

int RunWithApplication(int argc, char** argv, const std::function<int()>& body)
{
    const TestState state;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CSettings settings;
    g_settings = &settings;
    QApplication app(argc, argv);
    const int result = body();
    g_settings = nullptr;
    return result;
}

bool ServeUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

bool ServeTicks(int count)
{
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    return ServeUntil([&] { return ticks >= count; });
}

CONN_INFO SqliteConnection(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    CONN_INFO info;
    info.type = DS_SQLITE;
    info.target = path;
    return info;
}

namespace {

std::string ServiceVariable(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name) + " is not set: run the window tests through `make test`, "
                                                     "which starts the database servers they need");
    return value;
}

} // namespace

CONN_INFO MariaDbConnection(bool dsn)
{
    CONN_INFO info;
    info.type = DS_ODBC;
    info.target = ServiceVariable(dsn ? "QUORVEL_TEST_MARIADB_DSN" : "QUORVEL_TEST_MARIADB");
    if (dsn) {
        info.user = ServiceVariable("QUORVEL_TEST_MARIADB_USER");
        info.password = ServiceVariable("QUORVEL_TEST_MARIADB_PASSWORD");
    }
    return info;
}

CONN_INFO PostgresConnection()
{
    const char* target = std::getenv("QUORVEL_TEST_PG");
    if (target == nullptr || *target == '\0')
        throw std::runtime_error("QUORVEL_TEST_PG is not set: run the window tests through `make test`, "
                                 "which starts the PostgreSQL server they need");
    CONN_INFO info;
    info.type = DS_POSTGRES;
    info.target = target;
    return info;
}
