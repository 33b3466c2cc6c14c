#pragma once

#include <cstdint>

// Decides, execution by execution, whether an event acts on the outcome of its condition: at
// every execution whose condition holds, or only when the condition starts to hold, again at
// every Nth further execution while it holds, and once more, if asked, when it stops holding.
// It only counts outcomes (no clock, no I/O), so a sequence of outcomes is all that a test needs.
class ChangeGate {
public:
    enum class Verdict {
        kSkip, // the condition does not hold and nothing ends: no action
        kAct, // perform the action, with `state`
        kHoldBack, // the condition still holds, but the event acts on changes only
    };
    // The event's choice (its keys iActWhen, iRepeatEvery, bActOnRecovery).
    struct Rule {
        int actWhen = 0; // ActWhen; any value but ACT_ON_START acts every time
        int repeatEvery = 0; // holding executions from one action to the next; 0 or less: never
        bool onRecovery = false;
    };
    struct Step {
        Verdict verdict = Verdict::kSkip;
        const char* state = ""; // "PROBLEM", "REPEAT" or "RECOVERED" when acting, else empty
    };

    // The verdict for the next execution, whose condition held or not. An execution whose
    // condition could not be judged (`judged` false: a condition on the check's rows, value or time
    // after a failed check) has no action and leaves the course as it was, so that an outage
    // neither opens nor closes a problem.
    // `nowMs` is only kept as the time a problem opened.
    Step Next(const Rule& rule, bool holds, bool judged = true, int64_t nowMs = 0);
    // A new run: the next execution whose condition holds is a start.
    void Reset() { *this = ChangeGate(); }
    // The condition held at the last judged execution: a problem is open.
    bool holding() const { return holding_; }
    // When the latest problem opened (the `nowMs` of that execution); 0 when none has.
    int64_t openedMs() const { return openedMs_; }

private:
    bool holding_ = false; // the condition held at the last execution
    int sinceAction_ = 0; // holding executions since the last action, while it holds
    int64_t openedMs_ = 0;
};
