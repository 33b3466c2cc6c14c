#include "engine/ConnectionPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A connection that is connected from its making and counts its closings.
class FakeDB : public CDB {
public:
    explicit FakeDB(int* closed)
        : closed_(closed)
    {
        connected = 1;
    }
    int connect(const CONN_INFO*) override { return connected = 1, kOK; }
    int disconnect() override
    {
        if (connected != 0)
            ++*closed_;
        connected = 0;
        return kOK;
    }
    int execute(const std::string&, int) override { return kOK; }
    int fetch(int) override { return kNoRow; }
    int getData(int, std::string*, int, int, int) override { return kOK; }
    int closeCursor(int) override { return kOK; }
    void cancel() override { }

private:
    int* closed_;
};

// One step of a pool's life: an event with its own `holder` name takes a connection of
// description `conn` ('a', 'b', or 'p': 'a' with another password), gives it back (as it is,
// failed, or broken by the driver), or time passes and the idle ones are looked at.
enum class Op { kTake, kGiveBack, kGiveBackFailed, kGiveBackBroken, kWait };
struct Step {
    Op op;
    const char* holder;
    char conn = 'a';
    int seconds = 0;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    int made;
    int closed;
    size_t idle;
    size_t busy;
};

CONN_INFO Conn(char which)
{
    CONN_INFO info;
    info.type = DS_POSTGRES;
    info.target = which == 'b' ? "host=b" : "host=a";
    info.password = which == 'p' ? "other" : "secret";
    return info;
}

const Case kCases[] = {
    { "a connection given back is taken again",
        { { Op::kTake, "e1" }, { Op::kGiveBack, "e1" }, { Op::kTake, "e2" }, { Op::kGiveBack, "e2" } }, 1, 0, 1, 0 },
    { "a new one opens only while every open one is busy",
        { { Op::kTake, "e1" }, { Op::kTake, "e2" }, { Op::kGiveBack, "e1" }, { Op::kTake, "e3" } }, 2, 0, 0, 2 },
    { "descriptions differing in the password share nothing",
        { { Op::kTake, "e1" }, { Op::kGiveBack, "e1" }, { Op::kTake, "e2", 'p' }, { Op::kTake, "e3", 'b' } }, 3, 0, 1, 2 },
    { "a failed connection is closed, not given back",
        { { Op::kTake, "e1" }, { Op::kGiveBackFailed, "e1" }, { Op::kTake, "e2" } }, 2, 1, 0, 1 },
    { "a connection the driver found broken is dropped",
        { { Op::kTake, "e1" }, { Op::kGiveBackBroken, "e1" }, { Op::kTake, "e2" } }, 2, 0, 0, 1 },
    { "idle ones beyond two close after a minute, the newest stay",
        { { Op::kTake, "e1" }, { Op::kTake, "e2" }, { Op::kTake, "e3" }, { Op::kTake, "e4" }, { Op::kGiveBack, "e1" },
            { Op::kGiveBack, "e2" }, { Op::kWait, "", 'a', 30 }, { Op::kGiveBack, "e3" }, { Op::kGiveBack, "e4" },
            { Op::kWait, "", 'a', 30 } },
        4, 2, 2, 0 },
    { "idle ones are kept before their minute is up",
        { { Op::kTake, "e1" }, { Op::kTake, "e2" }, { Op::kTake, "e3" }, { Op::kGiveBack, "e1" },
            { Op::kGiveBack, "e2" }, { Op::kGiveBack, "e3" }, { Op::kWait, "", 'a', 59 } },
        3, 0, 3, 0 },
    { "two idle ones stay however long they wait",
        { { Op::kTake, "e1" }, { Op::kTake, "e2" }, { Op::kGiveBack, "e1" }, { Op::kGiveBack, "e2" },
            { Op::kWait, "", 'a', 3600 } },
        2, 0, 2, 0 },
    { "each description keeps its own two",
        { { Op::kTake, "e1" }, { Op::kTake, "e2" }, { Op::kTake, "e3", 'b' }, { Op::kTake, "e4", 'b' },
            { Op::kGiveBack, "e1" }, { Op::kGiveBack, "e2" }, { Op::kGiveBack, "e3", 'b' },
            { Op::kGiveBack, "e4", 'b' }, { Op::kWait, "", 'a', 3600 } },
        4, 0, 4, 0 },
};

TEST(ConnectionPool, Rules)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ConnectionPool::Clock::time_point now {};
        int made = 0;
        int closed = 0;
        {
            ConnectionPool pool([&now] { return now; },
                [&made, &closed](const CONN_INFO&) {
                    ++made;
                    return std::make_unique<FakeDB>(&closed);
                },
                0ms);
            std::map<std::string, std::unique_ptr<CDB>> held;
            for (const Step& step : c.steps) {
                std::unique_ptr<CDB>& db = held[step.holder];
                switch (step.op) {
                case Op::kTake:
                    db = pool.Take(Conn(step.conn));
                    ASSERT_NE(db, nullptr);
                    break;
                case Op::kGiveBackBroken:
                    db->connected = 0;
                    [[fallthrough]];
                case Op::kGiveBack:
                case Op::kGiveBackFailed:
                    pool.GiveBack(Conn(step.conn), std::move(db), step.op == Op::kGiveBackFailed);
                    break;
                case Op::kWait:
                    now += std::chrono::seconds(step.seconds);
                    pool.CloseIdle();
                    break;
                }
            }
            EXPECT_EQ(made, c.made);
            EXPECT_EQ(closed, c.closed);
            EXPECT_EQ(pool.IdleCount(), c.idle);
            EXPECT_EQ(pool.BusyCount(), c.busy);
            for (auto& [holder, db] : held) {
                if (db)
                    db->disconnect();
            }
        }
        // The pool's end closes what is idle, the holders what they hold: every connection but
        // the broken ones is closed once.
        const auto broken = std::count_if(c.steps.begin(), c.steps.end(), [](const Step& s) { return s.op == Op::kGiveBackBroken; });
        EXPECT_EQ(closed + broken, made);
    }
}

} // namespace
