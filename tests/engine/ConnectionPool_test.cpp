#include "engine/ConnectionPool.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

// Connected from its making; counts its closings.
class FakeDB : public CDB {
public:
    explicit FakeDB(int& closed) : closed_(closed) { connected = 1; }
    int connect(const CONN_INFO*) override { return kOK; }
    int disconnect() override
    {
        closed_ += connected;
        connected = 0;
        return kOK;
    }
    int execute(const std::string&, int) override { return kOK; }
    int fetch(int) override { return kNoRow; }
    int getData(int, std::string*, int, int, int) override { return kOK; }
    int closeCursor(int) override { return kOK; }
    void cancel() override { }

private:
    int& closed_;
};

CONN_INFO Conn(char which)
{
    CONN_INFO info;
    info.type = DS_POSTGRES;
    info.target = which == 'b' ? "host=b" : "host=a";
    info.password = which == 'p' ? "other" : "secret";
    return info;
}

// Steps: t<holder>[conn] takes a connection of description 'a' (default), 'b' (another target) or
// 'p' ('a' with another password); g gives it back, f gives it back as failed, x after the driver
// found it broken; w<seconds> lets time pass and looks at the idle ones.
struct Case {
    const char* name;
    const char* steps;
    int made, closed;
    size_t idle, busy;
};

const Case kCases[] = {
    { "a connection given back is taken again", "t1 g1 t2 g2", 1, 0, 1, 0 },
    { "a new one opens only while every open one is busy", "t1 t2 g1 t3", 2, 0, 0, 2 },
    { "descriptions differing in the password share nothing", "t1 g1 t2p t3b", 3, 0, 1, 2 },
    { "a failed connection is closed, not given back", "t1 f1 t2", 2, 1, 0, 1 },
    { "a connection the driver found broken is dropped", "t1 x1 t2", 2, 0, 0, 1 },
    { "idle ones beyond two close after a minute, the oldest first", "t1 t2 t3 t4 g1 g2 w30 g3 g4 w30", 4, 2, 2, 0 },
    { "idle ones stay before their minute is up", "t1 t2 t3 g1 g2 g3 w59", 3, 0, 3, 0 },
    { "each description keeps two idle ones for ever", "t1 t2 t3b t4b g1 g2 g3b g4b w3600", 4, 0, 4, 0 },
};

TEST(ConnectionPool, Rules)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ConnectionPool::Clock::time_point now {};
        int made = 0;
        int closed = 0;
        ConnectionPool pool([&now] { return now; },
            [&made, &closed](const CONN_INFO&) { return ++made, std::make_unique<FakeDB>(closed); },
            std::chrono::milliseconds(0));
        std::map<char, std::unique_ptr<CDB>> held;
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            const char op = step[0];
            const CONN_INFO conn = Conn(step.size() > 2 ? step[2] : 'a');
            std::unique_ptr<CDB>& db = held[step[1]];
            if (op == 'w') {
                now += std::chrono::seconds(std::stoi(step.substr(1)));
                pool.CloseIdle();
            } else if (op == 't') {
                db = pool.Take(conn);
            } else {
                db->connected = op == 'x' ? 0 : 1;
                pool.GiveBack(conn, std::move(db), op == 'f');
            }
        }
        EXPECT_EQ(std::tie(made, closed), std::tie(c.made, c.closed));
        EXPECT_EQ(std::make_pair(pool.IdleCount(), pool.BusyCount()), std::make_pair(c.idle, c.busy));
    }
}

} // namespace
