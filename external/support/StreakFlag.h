#pragma once

#include <atomic>

// Whether a repeated operation (a report write, the metrics file, a remote collection) is failing,
// so that a lasting failure is told twice, when it starts and when it ends, not at every
// repetition. Safe from several threads: of those that see the same change, one is told of it.
class StreakFlag {
public:
    // Records the outcome of one attempt. True when it differs from the one before: the caller
    // tells that the failure started (failed) or ended (not failed).
    bool Changed(bool failed) { return failing_.exchange(failed) != failed; }
    bool Failing() const { return failing_.load(); }

private:
    std::atomic<bool> failing_ { false };
};
