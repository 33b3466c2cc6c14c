// PostgreSQL through CDB beside the same work on libpq: streamed in single-row mode as CDB does
// it, and, for comparison, the whole result at once with PQexec.

#include "BenchSupport.h"

#include <libpq-fe.h>

namespace {

PGconn* Open(const std::string& conninfo)
{
    PGconn* conn = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::fprintf(stderr, "%s", PQerrorMessage(conn));
        std::exit(1);
    }
    return conn;
}

// Every value of a result as text.
void ReadValues(PGresult* result, std::string& value)
{
    for (int row = 0; row < PQntuples(result); ++row) {
        for (int column = 0; column < PQnfields(result); ++column) {
            value.assign(PQgetvalue(result, row, column), static_cast<size_t>(PQgetlength(result, row, column)));
            benchmark::DoNotOptimize(value);
        }
    }
}

void Streamed(benchmark::State& state, const std::string& conninfo, const char* sql)
{
    PGconn* conn = Open(conninfo);
    std::string value;
    for (auto _ : state) {
        PQsendQuery(conn, sql);
        PQsetSingleRowMode(conn);
        while (PGresult* result = PQgetResult(conn)) {
            ReadValues(result, value);
            PQclear(result);
        }
    }
    PQfinish(conn);
}

void Whole(benchmark::State& state, const std::string& conninfo, const char* sql)
{
    PGconn* conn = Open(conninfo);
    std::string value;
    for (auto _ : state) {
        PGresult* result = PQexec(conn, sql);
        ReadValues(result, value);
        PQclear(result);
    }
    PQfinish(conn);
}

} // namespace

int main(int argc, char** argv)
{
    CONN_INFO info;
    info.type = DS_POSTGRES;
    info.target = bench::RequireEnv("QUORVEL_TEST_PG");
    bench::CreateTable(info);

    bench::RegisterQuorvel("postgres", info);
    bench::Register("postgres/count/direct", Streamed, info.target, bench::kCountSql);
    bench::Register("postgres/10k-rows/direct", Streamed, info.target, bench::kRowsSql);
    bench::Register("postgres/count/pqexec", Whole, info.target, bench::kCountSql);
    bench::Register("postgres/10k-rows/pqexec", Whole, info.target, bench::kRowsSql);
    return bench::RunAll(argc, argv);
}
