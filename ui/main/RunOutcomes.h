#pragma once

#include "model/EventLive.h"

#include <QColor>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <vector>

class QuorvelRunner;

// What the window shows of a run: whether it goes on and since when, and each event's latest
// outcome, value and failure. Copied out of the project under its lock in one short step, so
// that the window thread never waits for a worker longer than that copy takes.
class RunOutcomes {
public:
    using Outcome = EventLive::Outcome;

    struct Event {
        Outcome outcome = Outcome::kNone;
        QString value; // of the latest execution; empty when its check failed
        QString failure; // "<what> failed: <reason>" while a failure holds
        int passed = 0; // checks of this run
        int failed = 0;

        // A failure that holds shows as failed, also after a check that passed (a report that is
        // not written).
        Outcome Shown() const { return failure.isEmpty() ? outcome : Outcome::kFailed; }
    };

    // Under the project's lock, when it is free. `changes` is the project's count of status changes
    // at the last copy: when nothing has changed since, or the lock is taken, nothing is copied and
    // false is answered.
    bool CopyFrom(const QuorvelRunner& project, uint64_t* changes);

    int Passed() const;
    int Failed() const;

    bool running = false;
    int64_t startedMs = 0; // Unix ms; 0 before the first run
    std::vector<Event> events; // one per event of the project, in its order

    // How each outcome looks: a word, an icon whose shape tells it apart also without colour, and
    // a colour for its text. kNone: nothing.
    static QString Word(Outcome outcome);
    static QIcon Icon(Outcome outcome);
    static QColor Colour(Outcome outcome);
    // The tooltip and accessible description of an event's row: its failure, or its outcome and
    // value.
    static QString Describe(const Event& event);
};
