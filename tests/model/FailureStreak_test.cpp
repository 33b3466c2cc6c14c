#include "model/FailureStreak.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Over outcomes (F failed, P passed), what is told: S a streak starts, E it ends, - nothing; and the
// count that the end tells.
TEST(FailureStreak, TellsTheStartAndTheEndOfEachStreakOnce)
{
    const struct {
        const char* outcomes;
        const char* told;
        int lastCount;
    } cases[] = {
        { "PPP", "---", 0 },
        { "FFFP", "S--E", 3 },
        { "PFPFFP", "-SES-E", 2 },
        { "FFF", "S--", 3 },
    };
    for (const auto& c : cases) {
        FailureStreak streak;
        std::string told;
        int64_t clock = 1000;
        for (const char* o = c.outcomes; *o != '\0'; ++o) {
            const auto tell = *o == 'F' ? streak.Failed("reason " + std::to_string(clock), clock) : streak.Succeeded();
            told += tell == FailureStreak::Tell::kStarted ? 'S' : tell == FailureStreak::Tell::kEnded ? 'E' : '-';
            clock += 1000;
        }
        EXPECT_EQ(told, c.told) << c.outcomes;
        EXPECT_EQ(streak.count(), c.lastCount) << c.outcomes;
    }
    // The latest failure stays known after its streak ended, with the time it started and the latest.
    FailureStreak streak;
    streak.Failed("refused", 5);
    streak.Failed("timed out after 3 s", 9);
    streak.Succeeded();
    EXPECT_FALSE(streak.failing());
    EXPECT_EQ(streak.reason(), "timed out after 3 s");
    EXPECT_EQ(streak.sinceMs(), 5);
    EXPECT_EQ(streak.latestMs(), 9);
}

} // namespace
