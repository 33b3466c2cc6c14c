#include "model/ChangeGate.h"
#include "model/EventTypes.h"

#include <gtest/gtest.h>
#include <string>

namespace {

char Letter(const ChangeGate::Step& step)
{
    using enum ChangeGate::Verdict;
    const std::string state = step.state;
    return step.verdict == kHoldBack ? 'h' : step.verdict == kSkip ? '-' : state == "RECOVERED" ? 'V' : state[0];
}

// Over outcomes (H the condition holds, N it does not), what each execution does: P, R, V act with
// PROBLEM, REPEAT, RECOVERED; h holds the action back; - has none.
TEST(ChangeGate, ActsOnStartsRepeatsAndRecoveriesAsChosen)
{
    const std::pair<ChangeGate::Rule, const char*> cases[] = {
        // Every time, as events always did; recovery does not apply. Out-of-range choices act so too.
        { { ACT_EVERY_TIME, 0, true }, "PR-PRRR--P" },
        { { 7, 2, true }, "PR-PRRR--P" },
        { { ACT_ON_START, 0, false }, "Ph-Phhh--P" },
        { { ACT_ON_START, -3, true }, "PhVPhhhV-P" },
        { { ACT_ON_START, 2, true }, "PhVPhRhV-P" },
        { { ACT_ON_START, 3, false }, "Ph-PhhR--P" },
        { { ACT_ON_START, 1, false }, "PR-PRRR--P" },
    };
    for (const auto& [rule, expected] : cases) {
        ChangeGate gate;
        std::string verdicts;
        for (const char outcome : std::string("HHNHHHHNNH"))
            verdicts += Letter(gate.Next(rule, outcome == 'H'));
        EXPECT_EQ(verdicts, expected) << rule.actWhen << " " << rule.repeatEvery;
    }
}

// A failed check that the condition cannot judge (F) carries the course over: an outage during a
// problem is neither a recovery nor a new problem, and it does not count towards a repeat.
TEST(ChangeGate, UnjudgedExecutionsNeitherOpenNorCloseAProblem)
{
    const std::pair<ChangeGate::Rule, const char*> cases[] = {
        { { ACT_ON_START, 0, true }, "P--hhV-P" },
        { { ACT_ON_START, 2, false }, "P--hR--P" },
        { { ACT_EVERY_TIME, 0, false }, "P--RR--P" },
    };
    for (const auto& [rule, expected] : cases) {
        ChangeGate gate;
        std::string verdicts;
        for (const char outcome : std::string("HFFHHNFH"))
            verdicts += Letter(gate.Next(rule, outcome == 'H', outcome != 'F'));
        EXPECT_EQ(verdicts, expected) << rule.actWhen << " " << rule.repeatEvery;
    }
}

} // namespace
