// SQLite through CDB beside the same work on the sqlite3 C API.

#include "BenchSupport.h"

#include <sqlite3.h>

namespace {

sqlite3* Open(const std::string& path, int flags)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), sqlite3_errmsg(db));
        std::exit(1);
    }
    return db;
}

void DirectCount(benchmark::State& state, const std::string& path)
{
    sqlite3* db = Open(path, SQLITE_OPEN_READWRITE);
    std::string value;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, bench::kCountSql, -1, &stmt, nullptr);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        benchmark::DoNotOptimize(value);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

void DirectRows(benchmark::State& state, const std::string& path)
{
    sqlite3* db = Open(path, SQLITE_OPEN_READWRITE);
    std::string value;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, bench::kRowsSql, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int column = 0; column < 3; ++column) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
                value.assign(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
                benchmark::DoNotOptimize(value);
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv)
{
    bench::ScratchDir dir;
    CONN_INFO info;
    info.type = DS_SQLITE;
    info.target = dir.File("bench.db");
    sqlite3_close(Open(info.target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    bench::CreateTable(info);

    bench::RegisterQuorvel("sqlite", info);
    bench::Register("sqlite/count/direct", DirectCount, info.target);
    bench::Register("sqlite/10k-rows/direct", DirectRows, info.target);
    return bench::RunAll(argc, argv);
}
