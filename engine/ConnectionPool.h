#pragma once

#include "external/db/CDB.h"
#include "external/db/CONN_INFO.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// The database connections that the events of one run share. Events with the same connection
// description (password included) take an idle connection for an iteration and give it back
// after, so that a project of many events on one server holds a few server connections instead
// of one per event. A new connection is made only when every open one is busy, so events still
// run at the same time; events that start together would each find the others' connections busy
// (being opened, most of them), so a take waits a moment for one to come back before it opens
// another. Thread-safe.
class ConnectionPool {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    // Makes an unconnected object for a description; null for a kind that is not known.
    using Maker = std::function<std::unique_ptr<CDB>(const CONN_INFO&)>;

    // Idle connections of one description beyond this many are closed ...
    static constexpr size_t kKeepIdle = 2;
    // ... once they have been idle this long.
    static constexpr Clock::duration kIdleLimit = std::chrono::seconds(60);

    // How long a take waits for a busy connection of its description to come back.
    static constexpr std::chrono::milliseconds kWaitForIdle { 100 };

    ConnectionPool();
    ConnectionPool(Now now, Maker make, std::chrono::milliseconds waitForIdle);
    // Closes the idle connections. Connections still taken are their holders' to close.
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // The connection of `info` that was given back last, or a new unconnected object when none
    // is idle (null for an unknown kind). The caller connects it when it is not connected.
    std::unique_ptr<CDB> Take(const CONN_INFO& info);
    // Takes back a connection of `info`. One that is not connected, or that `failed`, is closed
    // instead: the next Take of the description makes a new one.
    void GiveBack(const CONN_INFO& info, std::unique_ptr<CDB> db, bool failed);
    // Closes idle connections beyond kKeepIdle per description that have been idle kIdleLimit.
    // Take and GiveBack do it too.
    void CloseIdle();

    // How many connections wait idle, and how many are taken.
    size_t IdleCount() const;
    size_t BusyCount() const;

    static std::unique_ptr<CDB> MakeDefault(const CONN_INFO& info);

private:
    struct Idle {
        std::unique_ptr<CDB> db;
        Clock::time_point since;
    };
    struct Slot {
        CONN_INFO info;
        std::vector<Idle> idle; // oldest first; taken from the back
        size_t busy = 0;
    };

    Slot& SlotOf(const CONN_INFO& info);
    // Under the lock `lock`: the newest idle connection of `info`, after a wait for one while
    // others are busy; null when none came.
    std::unique_ptr<CDB> TakeIdle(std::unique_lock<std::mutex>& lock, const CONN_INFO& info);
    // Moves the connections that have been idle too long into `closing`.
    void CollectIdle(Clock::time_point now, std::vector<std::unique_ptr<CDB>>& closing);
    static void Close(std::vector<std::unique_ptr<CDB>>& closing);

    const Now now_;
    const Maker make_;
    const std::chrono::milliseconds waitForIdle_;
    mutable std::mutex mutex_;
    std::condition_variable givenBack_;
    std::vector<Slot> slots_; // guarded by mutex_; a few descriptions per project
};
