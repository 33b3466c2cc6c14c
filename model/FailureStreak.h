#pragma once

#include <cstdint>
#include <string>

// The course of one kind of failure of an event (its check, its action): the latest failure with
// its reason and time, and how many executions in a row have failed. It says when a failure is to
// be told: once when a streak starts and once when it ends, never at every repetition. It only
// counts (no clock, no I/O), so a sequence of outcomes is all that a test needs.
class FailureStreak {
public:
    enum class Tell {
        kNothing, // the same as the execution before
        kStarted, // the first failure after a success (or of the run)
        kEnded, // the first success after failures; `Ended()` says how many there were
    };

    // The outcome of the next execution: failed with `reason` at `unixMs`, or succeeded.
    Tell Failed(const std::string& reason, int64_t unixMs);
    Tell Succeeded();

    bool failing() const { return count_ > 0; }
    // The failures in a row so far, or of the streak that the last Succeeded ended.
    int count() const { return count_ > 0 ? count_ : ended_; }
    const std::string& reason() const { return reason_; }
    int64_t sinceMs() const { return sinceMs_; }
    int64_t latestMs() const { return latestMs_; }
    void Reset() { *this = FailureStreak(); }

private:
    int count_ = 0;
    int ended_ = 0;
    std::string reason_; // of the latest failure, kept after the streak ends
    int64_t sinceMs_ = 0; // when the streak started
    int64_t latestMs_ = 0; // when the latest failure was
};
