#include "model/ChangeGate.h"
#include "model/EventTypes.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// What each execution of a sequence of outcomes does: P, R, V act with PROBLEM, REPEAT,
// RECOVERED; h holds the action back; - has no action.
std::string Verdicts(const ChangeGate::Rule& rule, const std::string& outcomes)
{
    ChangeGate gate;
    std::string out;
    for (const char outcome : outcomes) {
        const ChangeGate::Step step = gate.Next(rule, outcome == 'H');
        const std::string state = step.state;
        if (step.verdict == ChangeGate::Verdict::kHoldBack)
            out += state.empty() ? 'h' : '?';
        else if (step.verdict == ChangeGate::Verdict::kSkip)
            out += state.empty() ? '-' : '?';
        else
            out += state == "PROBLEM" ? 'P' : state == "REPEAT" ? 'R' : state == "RECOVERED" ? 'V' : '?';
    }
    return out;
}

TEST(ChangeGate, ActsOnStartsRepeatsAndRecoveriesAsChosen)
{
    struct Case {
        ChangeGate::Rule rule;
        const char* outcomes; // H the condition holds, N it does not
        const char* verdicts;
    };
    const Case cases[] = {
        // Every time: each holding execution acts, as events always did; recovery does not apply.
        { { ACT_EVERY_TIME, 0, true }, "HHNHHHHNNH", "PR-PRRR--P" },
        { { ACT_EVERY_TIME, 2, false }, "NNH", "--P" },
        { { ACT_ON_START, 0, false }, "HHNHHHHNNH", "Ph-Phhh--P" },
        { { ACT_ON_START, 2, true }, "HHNHHHHNNH", "PhVPhRhV-P" },
        { { ACT_ON_START, 1, false }, "HHHNH", "PRR-P" },
        { { ACT_ON_START, 3, true }, "NHHHHHHHN", "-PhhRhhRV" },
        // Values outside the choices: act every time; a negative repeat count never repeats.
        { { 7, 0, true }, "HHN", "PR-" },
        { { ACT_ON_START, -3, false }, "HHHH", "Phhh" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Verdicts(c.rule, c.outcomes), c.verdicts) << c.rule.actWhen << " " << c.rule.repeatEvery;
}

TEST(ChangeGate, ANewRunStartsAfresh)
{
    ChangeGate gate;
    const ChangeGate::Rule rule { ACT_ON_START, 0, true };
    gate.Next(rule, true);
    gate.Reset();
    EXPECT_STREQ(gate.Next(rule, true).state, "PROBLEM");
    gate.Reset();
    EXPECT_EQ(gate.Next(rule, false).verdict, ChangeGate::Verdict::kSkip) << "no recovery without a start";
}

} // namespace
