#pragma once

#include "model/Quorvel.h"

#include <string>

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
