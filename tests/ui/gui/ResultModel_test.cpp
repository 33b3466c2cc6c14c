#include "support/TestEnv.h"
#include "support/TestServices.h"
#include "support/UiTestSupport.h"

#include "external/db/CDB.h"
#include "ui/gui/DbTask.h"
#include "ui/gui/ResultModel.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A real SQLite result: the grid is headed by the result's column names (aliases included), the
// selected cells copy as tab-separated lines and the whole result as CSV, every field that holds
// its separator, a quote or a line break in quotes.
TEST(ResultModel, HeadsColumnsByNameAndCopiesCellsAndCsv)
{
    TempDir dir;
    const CONN_INFO conn = SqliteConnection(dir.File("r.db"),
        "CREATE TABLE t (name TEXT, note TEXT, qty INTEGER);"
        "INSERT INTO t VALUES ('apple', 'plain', 3), ('pear', 'say \"hi\", twice', NULL),"
        "('fig', 'two' || char(10) || 'lines', 4), ('kiwi', 'a' || char(9) || 'tab', 1);");
    std::unique_ptr<CDB> db = CDB::newDB(DS_SQLITE);
    ASSERT_EQ(db->connect(&conn), CDB::kOK);
    DbOutcome outcome;
    const std::atomic<bool> stop = false;
    DbTask::FetchRows("SELECT name, note AS remark, qty * 2 FROM t ORDER BY rowid", 100, 100)(*db, outcome, stop);
    ResultModel model;
    model.SetRows(outcome.rows, outcome.columns);

    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList { QStringLiteral("name"), QStringLiteral("remark"), QStringLiteral("qty * 2") }));
    EXPECT_EQ(model.CsvText(), QStringLiteral("name,remark,qty * 2\r\n"
                                              "apple,plain,6\r\n"
                                              "pear,\"say \"\"hi\"\", twice\",\r\n"
                                              "fig,\"two\nlines\",8\r\n"
                                              "kiwi,a\ttab,2\r\n"));

    const struct {
        std::vector<std::pair<int, int>> cells; // row, column
        const char* text;
    } kSelections[] = {
        { {}, "" },
        { { { 0, 0 } }, "apple" },
        { { { 0, 2 }, { 0, 0 }, { 0, 1 } }, "apple\tplain\t6" },
        { { { 1, 1 } }, "\"say \"\"hi\"\", twice\"" },
        { { { 2, 1 }, { 3, 1 } }, "\"two\nlines\"\n\"a\ttab\"" },
        { { { 0, 0 }, { 2, 2 } }, "apple\t\t\n\t\t\n\t\t8" }, // the cells between stay empty
    };
    for (const auto& row : kSelections) {
        QModelIndexList cells;
        for (const auto& [r, c] : row.cells)
            cells << model.index(r, c);
        EXPECT_EQ(model.CellsText(cells), QString::fromUtf8(row.text)) << row.text;
    }

    // Without names from the database the columns are numbered.
    model.SetRows({ { "a", "b" } });
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Column 2"));
    EXPECT_EQ(model.CsvText(), QStringLiteral("Column 1,Column 2\r\na,b\r\n"));
}

} // namespace
