#include "model/Quorvel.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// Comparisons, time units and their texts (the other texts appear in the descriptions below).
TEST(Quorvel, ComparisonsTimeUnitsAndTheirTexts)
{
    struct Case {
        int op, measured, configured;
        bool holds;
    };
    Quorvel onChange; // acting every time reads as it always did, whatever else is set
    onChange.cond = COND_ON_ERROR, onChange.iRepeatEvery = 4, onChange.bActOnRecovery = 1;
    EXPECT_EQ(onChange.Description(1), "On error");
    onChange.iActWhen = ACT_ON_START;
    EXPECT_EQ(onChange.Description(1), "On error (when it starts to hold, repeat every 4, on recovery)");
    for (const Case& c : { Case { OP_LESS, 1, 2, true }, Case { OP_LESS_EQUAL, 2, 2, true },
             Case { OP_EQUAL, -5, -5, true }, Case { OP_GREATER_EQUAL, 3, 2, true },
             Case { OP_GREATER, 0, -2147483647 - 1, true }, Case { OP_NOT_EQUAL, 1, 2, true },
             Case { OP_GREATER, 2, 2, false }, Case { 7, 1, 1, false }, Case { -1, 1, 2, false } })
        EXPECT_EQ(Quorvel::Compare(c.op, c.measured, c.configured), c.holds) << c.op << " " << c.measured;
    EXPECT_EQ(Quorvel::CompareText(OP_NOT_EQUAL, -3), "!= -3");
    EXPECT_EQ(Quorvel::CompareText(-1, 3), " 3");
    // Waits past 32 bits of milliseconds (597 h, 35,792 min, 2,147,484 s and beyond) keep their length.
    const struct {
        int value, unit;
        int64_t ms;
    } waits[] = { { 2, UNIT_MINUTES, 120000 }, { 3, UNIT_SECONDS, 3000 }, { 596, UNIT_HOURS, 2145600000 },
        { 597, UNIT_HOURS, 2149200000 }, { 720, UNIT_HOURS, 2592000000 }, { 1193, UNIT_HOURS, 4294800000 },
        { 1194, UNIT_HOURS, 4298400000 }, { 35792, UNIT_MINUTES, 2147520000 }, { 2147484, UNIT_SECONDS, 2147484000 },
        { 2147483647, UNIT_HOURS, int64_t { 2147483647 } * 3600000 }, { 5, 9, 0 }, { 5, -1, 0 } };
    for (const auto& w : waits)
        EXPECT_EQ(Quorvel::ToMilliseconds(w.value, w.unit), w.ms) << w.value << " in unit " << w.unit;
    EXPECT_EQ(Quorvel::TimeUnitName(42), "seconds");
}

TEST(Quorvel, Descriptions)
{
    struct Case {
        int type, cond, action, row, res, part;
        const char* text;
    };
    // Out-of-range values give empty texts.
    for (const Case& c : {
             Case { EVENT_SQL, COND_ALWAYS, ACTION_NONE, OP_LESS, OP_LESS, -1, "Exec SQL->Always->No action" },
             Case { EVENT_FILE, COND_CHECK_TIME, ACTION_NONE, 0, OP_LESS, -1,
                 "File or Folder Access->If check time < 200 ms->No action" },
             Case { EVENT_SQL, COND_RESULT_VALUE, 0, 0, OP_EQUAL, 1, "If result value = 200" },
             Case { EVENT_COUNTER, 0, ACTION_PROGRAM, 0, 0, 2, "Exec program" },
             Case { EVENT_COUNTER, COND_ON_ERROR, 0, 0, 0, 1, "On error" },
             Case { EVENT_COUNTER, COND_ON_SUCCESS, ACTION_SQL, 0, 0, 7, "Performance Counter->On success->Exec SQL" },
             Case { 3, 6, -1, 0, 0, -1, "->->" },
             Case { 0, COND_ROW_COUNT, 0, 9, 0, 1, "If result set size  10" },
         }) {
        Quorvel q;
        q.type = c.type, q.cond = c.cond, q.action = c.action, q.rowCheck = c.row, q.resCheck = c.res;
        q.rowCheckValue = 10, q.resCheckValue = 200;
        EXPECT_EQ(q.Description(c.part), c.text);
    }
}

TEST(Quorvel, CopyTakesTheDefinitionButNotTheRunState)
{
    Quorvel source;
    source.EventNote = "nightly";
    source.lastTab = 3;
    source.checkConn.target = "/tmp/a.db";
    source.value = "42";
    source.execCount = 5;
    source.stopEvent = 1;
    source.db = CDB::newDB(DS_SQLITE);

    Quorvel copy(source);
    EXPECT_EQ(copy.EventNote + copy.checkConn.target, "nightly/tmp/a.db");
    EXPECT_EQ(copy.lastTab, 3);
    EXPECT_EQ(copy.value + std::to_string(copy.execCount) + std::to_string(copy.stopEvent), "00");
    EXPECT_EQ(copy.db, nullptr);

    Quorvel target;
    target.db = CDB::newDB(DS_SQLITE);
    target.value = "kept";
    target.results.Add(ExecRecord { "OK", 1, 1, 0, 0, 1 });
    target = source;
    EXPECT_EQ(target.db, nullptr) << "assignment leaves no database object";
    EXPECT_EQ(target.value, "kept");
    EXPECT_EQ(target.results.count, 1);
}

TEST(ExecStats, CountsSumsAndExtremes)
{
    ExecStats stats;
    stats.Add({ "OK", 10, 5, 1, 5, 3 });
    stats.Add({ "FAILED", 30, 20, 0, 10, 0 });
    stats.Add({ "", 20, 7, 0, 13, 1 });
    stats.Add({ "OK", 0xFFFFFFFFu, 1, 0, 0, 0 });
    // The largest time tells that times compare as unsigned.
    EXPECT_EQ(std::tuple(stats.count, stats.passed, stats.Failed(), stats.total.largest, stats.total.smallest,
                  stats.check.sum, stats.rowSum),
        std::tuple(4, 2, 2, 0xFFFFFFFFu, 10u, 33.0, 4.0));
}

} // namespace
