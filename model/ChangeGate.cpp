#include "model/ChangeGate.h"

#include "model/EventTypes.h"

namespace {

constexpr const char* kProblem = "PROBLEM";
constexpr const char* kRepeat = "REPEAT";
constexpr const char* kRecovered = "RECOVERED";

} // namespace

ChangeGate::Step ChangeGate::Next(const Rule& rule, bool holds, bool judged, int64_t nowMs)
{
    if (!judged)
        return {};
    const bool wasHolding = holding_;
    holding_ = holds;
    const bool onChange = rule.actWhen == ACT_ON_START;
    if (!holds) {
        sinceAction_ = 0;
        if (wasHolding && onChange && rule.onRecovery)
            return { Verdict::kAct, kRecovered };
        return {};
    }
    if (!wasHolding) {
        sinceAction_ = 0;
        openedMs_ = nowMs;
        return { Verdict::kAct, kProblem };
    }
    // Counted from the last action, not from the start, so that an endless run never overflows.
    ++sinceAction_;
    if (!onChange || (rule.repeatEvery > 0 && sinceAction_ >= rule.repeatEvery)) {
        sinceAction_ = 0;
        return { Verdict::kAct, kRepeat };
    }
    return { Verdict::kHoldBack, "" };
}
