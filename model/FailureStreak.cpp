#include "model/FailureStreak.h"

#include <climits>

FailureStreak::Tell FailureStreak::Failed(const std::string& reason, int64_t unixMs)
{
    if (reason_ != reason)
        reason_ = reason;
    latestMs_ = unixMs;
    ended_ = 0;
    if (count_ < INT_MAX) // an endless run of failures saturates instead of wrapping
        ++count_;
    if (count_ > 1)
        return Tell::kNothing;
    sinceMs_ = unixMs;
    return Tell::kStarted;
}

FailureStreak::Tell FailureStreak::Succeeded()
{
    if (count_ == 0)
        return Tell::kNothing;
    ended_ = count_;
    count_ = 0;
    return Tell::kEnded;
}
