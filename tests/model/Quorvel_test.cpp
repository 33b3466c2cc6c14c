#include "model/Quorvel.h"

#include <gtest/gtest.h>

namespace {

// Stands in for a live connection; only its presence matters here.
class PresentDB : public CDB {
public:
    int connect(const CONN_INFO*) override { return connected = 1, kOK; }
    int disconnect() override { return connected = 0, kOK; }
    int execute(const std::string&, int) override { return kOK; }
    int fetch(int) override { return kNoRow; }
    int getData(int, std::string*, int, int, int) override { return kOK; }
    int closeCursor(int) override { return kOK; }
    void cancel() override {}
};

TEST(Quorvel, NewRecordHasTheDefaults)
{
    const Quorvel q;
    EXPECT_EQ(q.enabled, 1);
    EXPECT_EQ(q.type, EVENT_SQL);
    EXPECT_EQ(q.cond, COND_ALWAYS);
    EXPECT_EQ(q.action, ACTION_NONE);
    EXPECT_EQ(q.delayType, DELAY_NONE);
    EXPECT_EQ(q.iterType, ITER_ENDLESS);
    EXPECT_EQ(q.intType, INTERVAL_NONE);
    EXPECT_EQ(q.iDelay, 30);
    EXPECT_EQ(q.iInterval, 30);
    EXPECT_EQ(q.iExecs, 10);
    EXPECT_EQ(q.bNeedConnect, 1);
    EXPECT_EQ(q.Description(-1), "Exec SQL->Always->No action");
}

TEST(Quorvel, ComparisonsAndTheirTexts)
{
    EXPECT_TRUE(Quorvel::Compare(OP_LESS, 1, 2));
    EXPECT_TRUE(Quorvel::Compare(OP_LESS_EQUAL, 2, 2));
    EXPECT_TRUE(Quorvel::Compare(OP_EQUAL, -5, -5));
    EXPECT_TRUE(Quorvel::Compare(OP_GREATER_EQUAL, 3, 2));
    EXPECT_TRUE(Quorvel::Compare(OP_GREATER, 0, -2147483647 - 1));
    EXPECT_TRUE(Quorvel::Compare(OP_NOT_EQUAL, 1, 2));
    EXPECT_FALSE(Quorvel::Compare(OP_GREATER, 2, 2));
    EXPECT_FALSE(Quorvel::Compare(7, 1, 1));
    EXPECT_FALSE(Quorvel::Compare(-1, 1, 2));
    EXPECT_EQ(Quorvel::CompareText(OP_GREATER, 10), "> 10");
    EXPECT_EQ(Quorvel::CompareText(OP_NOT_EQUAL, -3), "!= -3");
    EXPECT_EQ(Quorvel::CompareText(7, 3), " 3");
    EXPECT_EQ(Quorvel::CompareText(-1, 3), " 3");
}

TEST(Quorvel, MillisecondsAndUnitNames)
{
    EXPECT_EQ(Quorvel::ToMilliseconds(2, UNIT_MINUTES), 120000);
    EXPECT_EQ(Quorvel::ToMilliseconds(3, UNIT_SECONDS), 3000);
    EXPECT_EQ(Quorvel::ToMilliseconds(596, UNIT_HOURS), 2145600000);
    EXPECT_EQ(Quorvel::ToMilliseconds(5, 9), 0);
    EXPECT_EQ(Quorvel::ToMilliseconds(5, -1), 0);
    EXPECT_EQ(Quorvel::TimeUnitName(UNIT_MINUTES), "minutes");
    EXPECT_EQ(Quorvel::TimeUnitName(UNIT_HOURS), "hours");
    EXPECT_EQ(Quorvel::TimeUnitName(0), "seconds");
    EXPECT_EQ(Quorvel::TimeUnitName(42), "seconds");
}

TEST(Quorvel, Descriptions)
{
    Quorvel q;
    q.type = EVENT_FILE;
    q.cond = COND_CHECK_TIME;
    q.resCheck = OP_LESS;
    q.resCheckValue = 200;
    EXPECT_EQ(q.Description(-1), "File or Folder Access->If check time < 200 ms->No action");
    q.type = EVENT_SQL;
    q.cond = COND_ROW_COUNT;
    q.rowCheck = OP_GREATER;
    q.rowCheckValue = 10;
    q.action = ACTION_LOG;
    EXPECT_EQ(q.Description(-1), "Exec SQL->If result set size > 10->Write log");
    q.cond = COND_RESULT_VALUE;
    q.resCheck = OP_EQUAL;
    EXPECT_EQ(q.Description(1), "If result value = 200");
    q.type = EVENT_COUNTER;
    q.action = ACTION_PROGRAM;
    EXPECT_EQ(q.Description(0), "Performance Counter");
    EXPECT_EQ(q.Description(2), "Exec program");
    q.cond = COND_ON_ERROR;
    EXPECT_EQ(q.Description(1), "On error");
    q.cond = COND_ON_SUCCESS;
    q.action = ACTION_SQL;
    EXPECT_EQ(q.Description(7), "Performance Counter->On success->Exec SQL");
    // Out-of-range values give empty texts.
    q.type = 3;
    q.cond = 6;
    q.action = -1;
    EXPECT_EQ(q.Description(-1), "->->");
    q.cond = COND_ROW_COUNT;
    q.rowCheck = 9;
    q.rowCheckValue = 4;
    EXPECT_EQ(q.Description(1), "If result set size  4");
}

TEST(Quorvel, CopyTakesTheDefinitionButNotTheRunState)
{
    Quorvel source;
    source.EventNote = "nightly";
    source.SQL = "SELECT 1";
    source.lastTab = 3;
    source.checkConn.target = "/tmp/a.db";
    source.actionConn.user = "bob";
    source.value = "42";
    source.execCount = 5;
    source.stopEvent = 1;
    source.db = std::make_unique<PresentDB>();

    Quorvel copy(source);
    EXPECT_EQ(copy.EventNote, "nightly");
    EXPECT_EQ(copy.SQL, "SELECT 1");
    EXPECT_EQ(copy.lastTab, 3);
    EXPECT_EQ(copy.checkConn.target, "/tmp/a.db");
    EXPECT_EQ(copy.actionConn.user, "bob");
    EXPECT_EQ(copy.value, "");
    EXPECT_EQ(copy.execCount, 0);
    EXPECT_EQ(copy.stopEvent, 0);
    EXPECT_EQ(copy.db, nullptr);

    Quorvel target;
    target.db = std::make_unique<PresentDB>();
    target.value = "kept";
    target.results.Add(ExecRecord{"OK", 1, 1, 0, 0, 1});
    target = source;
    EXPECT_EQ(target.db, nullptr) << "assignment leaves no database object";
    EXPECT_EQ(target.value, "kept");
    EXPECT_EQ(target.results.count, 1);
}

TEST(ExecStats, CountsSumsAndExtremes)
{
    ExecStats stats;
    EXPECT_EQ(stats.total.smallest, 2147483647u);
    stats.Add({"OK", 10, 5, 1, 5, 3});
    stats.Add({"FAILED", 30, 20, 0, 10, 0});
    stats.Add({"", 20, 7, 0, 13, 1});
    stats.Add({"OK", 0xFFFFFFFFu, 1, 0, 0, 0});
    EXPECT_EQ(stats.count, 4);
    EXPECT_EQ(stats.passed, 2);
    EXPECT_EQ(stats.Failed(), 2);
    EXPECT_EQ(stats.total.largest, 0xFFFFFFFFu) << "times compare as unsigned";
    EXPECT_EQ(stats.total.smallest, 10u);
    EXPECT_DOUBLE_EQ(stats.check.sum, 33);
    EXPECT_DOUBLE_EQ(stats.rowSum, 4);
}

} // namespace
