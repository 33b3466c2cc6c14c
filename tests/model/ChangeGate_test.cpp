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

// Over outcomes (H the condition holds, N it does not, F a failed check that the condition cannot
// judge), what each execution does: P, R, V act with PROBLEM, REPEAT, RECOVERED; h holds the
// action back; - has none.
TEST(ChangeGate, ActsOnStartsRepeatsAndRecoveriesAsChosen)
{
    const struct {
        ChangeGate::Rule rule;
        const char* outcomes;
        const char* expected;
    } cases[] = {
        // Every time, as events always did; recovery does not apply. Out-of-range choices act so too.
        { { ACT_EVERY_TIME, 0, true }, "HHNHHHHNNH", "PR-PRRR--P" },
        { { 7, 2, true }, "HHNHHHHNNH", "PR-PRRR--P" },
        { { ACT_ON_START, 0, false }, "HHNHHHHNNH", "Ph-Phhh--P" },
        { { ACT_ON_START, -3, true }, "HHNHHHHNNH", "PhVPhhhV-P" },
        { { ACT_ON_START, 2, true }, "HHNHHHHNNH", "PhVPhRhV-P" },
        { { ACT_ON_START, 3, false }, "HHNHHHHNNH", "Ph-PhhR--P" },
        { { ACT_ON_START, 1, false }, "HHNHHHHNNH", "PR-PRRR--P" },
        // An outage during a problem carries the course over: neither a recovery nor a new
        // problem, and no repeat is counted.
        { { ACT_ON_START, 0, true }, "HFFHHNFH", "P--hhV-P" },
        { { ACT_ON_START, 2, false }, "HFFHHNFH", "P--hR--P" },
        { { ACT_EVERY_TIME, 0, false }, "HFFHHNFH", "P--RR--P" },
    };
    for (const auto& c : cases) {
        ChangeGate gate;
        std::string verdicts;
        for (const char* outcome = c.outcomes; *outcome != '\0'; ++outcome)
            verdicts += Letter(gate.Next(c.rule, *outcome == 'H', *outcome != 'F'));
        EXPECT_EQ(verdicts, c.expected) << c.rule.actWhen << " " << c.rule.repeatEvery << " " << c.outcomes;
    }
}

} // namespace
