#include "engine/ConnectionPool.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

// Private in-memory SQLite databases, told apart by the password alone or by the target too.
CONN_INFO Conn(char which)
{
    CONN_INFO info;
    info.target = which == 'b' ? ":memory:" : "";
    info.password = which == 'p' ? "other" : "secret";
    return info;
}

// Steps: t<holder>[conn] takes a connection of description 'a' (default), 'b' (another target) or
// 'p' ('a' with another password) and connects it as a check does; g gives it back, f gives it
// back as failed, x after the driver found it broken; w<seconds> lets time pass and looks at the
// idle ones.
struct Case {
    const char* name;
    const char* steps;
    int made;
    size_t idle, busy;
};

const Case kCases[] = {
    { "a connection given back is taken again", "t1 g1 t2 g2", 1, 1, 0 },
    { "a new one opens only while every open one is busy", "t1 t2 g1 t3", 2, 0, 2 },
    { "descriptions differing in the password share nothing", "t1 g1 t2p t3b", 3, 1, 2 },
    { "a failed connection is closed, not given back", "t1 f1 t2", 2, 0, 1 },
    { "a connection the driver found broken is dropped", "t1 x1 t2", 2, 0, 1 },
    { "idle ones beyond two close after a minute", "t1 t2 t3 t4 g1 g2 w30 g3 g4 w30", 4, 2, 0 },
    { "idle ones stay before their minute is up", "t1 t2 t3 g1 g2 g3 w59", 3, 3, 0 },
    { "each description keeps two idle ones for ever", "t1 t2 t3b t4b g1 g2 g3b g4b w3600", 4, 4, 0 },
};

TEST(ConnectionPool, Rules)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ConnectionPool::Clock::time_point now {};
        int made = 0;
        ConnectionPool pool([&now] { return now; },
            [&made](const CONN_INFO& info) { return ++made, ConnectionPool::MakeDefault(info); },
            std::chrono::milliseconds(0));
        std::map<char, std::unique_ptr<CDB>> held;
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            const CONN_INFO conn = Conn(step.size() > 2 ? step[2] : 'a');
            std::unique_ptr<CDB>& db = held[step[1]];
            if (step[0] == 'w') {
                now += std::chrono::seconds(std::stoi(step.substr(1)));
                pool.CloseIdle();
            } else if (step[0] == 't') {
                db = pool.Take(conn);
                ASSERT_EQ(db->connected != 0 ? CDB::kOK : db->connect(&conn), CDB::kOK) << db->errorText;
            } else {
                db->connected = step[0] == 'x' ? 0 : db->connected;
                pool.GiveBack(conn, std::move(db), step[0] == 'f');
            }
        }
        EXPECT_EQ(made, c.made);
        EXPECT_EQ(std::make_pair(pool.IdleCount(), pool.BusyCount()), std::make_pair(c.idle, c.busy));
    }
}

} // namespace
