#pragma once

#include "model/Quorvel.h"

#include <string>
#include <utility>

// Events as the tests build them: one iteration, no waiting, unless a test says otherwise.
inline Quorvel FileEvent(const std::string& note, const std::string& path)
{
    Quorvel q;
    q.EventNote = note;
    q.type = EVENT_FILE;
    q.FileOrDir = path;
    q.iterType = ITER_ONCE;
    return q;
}

inline Quorvel SqlEvent(
    const std::string& note, const std::string& target, const std::string& sql, DS_TYPE type = DS_SQLITE)
{
    Quorvel q;
    q.EventNote = note;
    q.SQL = sql;
    q.checkConn.type = type;
    q.checkConn.target = target;
    q.actionConn = q.checkConn;
    q.iterType = ITER_ONCE;
    return q;
}

inline Quorvel CounterEvent(const std::string& note, const std::string& machine, const std::string& counter)
{
    Quorvel q;
    q.EventNote = note;
    q.type = EVENT_COUNTER;
    q.Machine = machine;
    q.PerfCounter = counter;
    q.iterType = ITER_ONCE;
    return q;
}

// Acting by `action` on `what`: the statement, the program or the log line.
inline Quorvel WithAction(Quorvel event, int action, const std::string& what)
{
    event.action = action;
    (action == ACTION_SQL ? event.ActionSQL : action == ACTION_PROGRAM ? event.sProgram : event.sLogItem) = what;
    return event;
}

// Without end and without waiting between iterations.
inline Quorvel Endless(Quorvel event)
{
    event.iterType = ITER_ENDLESS;
    event.intType = INTERVAL_NONE;
    return event;
}

// Waiting `seconds` between iterations.
inline Quorvel EverySeconds(Quorvel event, int seconds)
{
    event.intType = INTERVAL_WAIT;
    event.iInterval = seconds;
    event.intTimeType = UNIT_SECONDS;
    return event;
}

// Waiting `seconds` before the first iteration.
inline Quorvel DelayedFor(Quorvel event, int seconds)
{
    event.delayType = DELAY_FOR;
    event.iDelay = seconds;
    event.delayTimeType = UNIT_SECONDS;
    return event;
}

// Running `count` iterations.
inline Quorvel Times(Quorvel event, int count)
{
    event.iterType = ITER_COUNT;
    event.iExecs = count;
    return event;
}

// An event with every field of its definition set: texts that a damaged file could not fake
// (blanks at both ends, line breaks, tabs, quotes, backslashes, control characters, non-ASCII),
// long enough that a project of them takes a while to save, and numbers and kinds out of range.
inline Quorvel EveryField(int seed)
{
    const auto text = [seed](const std::string& key) {
        std::string t = "  " + key + " of event " + std::to_string(seed)
            + ":\n\t\"quoted\" 'single' '''triple''' \\ Grüße ✓ \x01\x1f \xF0\x9F\x98\x80\r\n";
        for (int i = 0; i < 40; ++i)
            t += key + "-" + std::to_string(seed) + "-" + std::to_string(i) + " ";
        return t;
    };
    Quorvel e;
    const std::pair<std::string Quorvel::*, const char*> texts[] = { { &Quorvel::EventNote, "note" },
        { &Quorvel::SQL, "SQL" }, { &Quorvel::FileOrDir, "path" }, { &Quorvel::ActionSQL, "action SQL" },
        { &Quorvel::sProgram, "program" }, { &Quorvel::sLogItem, "log item" }, { &Quorvel::PerfCounter, "counter" },
        { &Quorvel::Machine, "machine" }, { &Quorvel::tmStartAt, "start" } };
    for (const auto& [field, key] : texts)
        e.*field = text(key);
    // Kinds and flags, each within a range of its own.
    const std::pair<int Quorvel::*, int> kinds[] = { { &Quorvel::bNeedConnect, 2 }, { &Quorvel::type, 4 },
        { &Quorvel::cond, 7 }, { &Quorvel::action, 5 }, { &Quorvel::delayType, 4 }, { &Quorvel::delayTimeType, 4 },
        { &Quorvel::iterType, 4 }, { &Quorvel::intType, 3 }, { &Quorvel::intTimeType, 4 }, { &Quorvel::rowCheck, 7 },
        { &Quorvel::enabled, 2 }, { &Quorvel::bTermProject, 2 } };
    for (const auto& [field, range] : kinds)
        e.*field = seed % range;
    e.resCheck = 17;
    e.bTermEvent = 1;
    e.iDelay = -5 - seed;
    e.iInterval = 2147483647 - seed;
    e.iExecs = seed;
    e.rowCheckValue = -2147483647 - 1 + seed;
    e.resCheckValue = 1 << seed % 31;
    e.iActWhen = seed % 3, e.iRepeatEvery = 7 * seed, e.bActOnRecovery = seed % 2;
    e.iTimeout = 30 * seed;
    e.checkConn = CONN_INFO { DS_POSTGRES, text("check target"), text("check user"), "secret", 1 };
    e.actionConn = CONN_INFO { DS_ODBC, text("action target"), "bob", "not saved", 0 };
    return e;
}
