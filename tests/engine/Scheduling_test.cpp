#include "engine/EngineFixture.h"
#include "engine/RunControl.h"
#include "model/StartAt.h"
#include "external/support/CLog.h"
#include "external/support/StrFormat.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class Scheduling : public EngineTest {
protected:
    // A file check on the test's folder: quick, and passes.
    Quorvel Quick(const std::string& note) { return FileEvent(note, dir.path()); }
};

// A wrong start time is told and the event starts at once; a broken event ends alone before any
// iteration.
TEST_F(Scheduling, IterationTypesIntervalsAndDelays)
{
    const Quorvel once = EverySeconds(Quick("once"), 1);
    Quorvel three = Times(EverySeconds(Quick("three"), 1), 3);
    Quorvel zero = Times(Quick("zero"), 0);
    const Quorvel delayed = DelayedFor(Quick("delayed"), 2);
    Quorvel early = Quick("early");
    early.delayType = DELAY_START_AT;
    early.tmStartAt = "0800";
    Quorvel broken = Quick("broken");
    broken.delayType = 7;
    for (const Quorvel& event : { once, three, zero, delayed, early, broken })
        project.AddEvent(event);

    const auto started = Clock::now();
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const auto took = Clock::now() - started;

    EXPECT_EQ(page.Count("once", "Executing"), 1);
    EXPECT_EQ(page.Count("once", "Paused"), 0) << "no interval after the last iteration";
    EXPECT_EQ(page.Count("three", "Executing"), 3);
    EXPECT_EQ(page.Count("three", "Paused"), 2);
    EXPECT_EQ(page.Count("zero", "Executing"), 1) << "every event executes at least once";
    EXPECT_EQ(page.Count("early", "Executing"), 1);
    for (const char* note : { "once", "three", "zero", "early" }) {
        EXPECT_EQ(page.Statuses(note).front(), "Started");
        EXPECT_EQ(page.Last(note), "Completed");
    }
    // The first delay comes before the first iteration.
    EXPECT_EQ(page.Statuses("delayed"),
        (std::vector<std::string> { "Started", "Paused", "Executing", "Check passed", "Do action", "Completed" }));
    // Two exact one-second intervals, or the two seconds' delay.
    EXPECT_GE(took, std::chrono::milliseconds(2000));
    EXPECT_EQ(page.runControls, (std::vector<bool> { true, false }));
    EXPECT_EQ(box.Shown(), (std::vector<std::string> { "Error!: Unrecognized time format: 0800" }));
    EXPECT_EQ(page.Statuses("broken"), (std::vector<std::string> { "Started", "Broken event" }));
    EXPECT_NE(CLog::GetLastRows().find("Broken event execution attempt"), std::string::npos);
    EXPECT_EQ(project.currentReportFile, "") << "no report file named, none written";
}

TEST(StartAt, WaitsUntilTheTimeOfDay)
{
    std::tm now {};
    now.tm_hour = 9;
    now.tm_min = 30;
    // "25:00:00" is one o'clock the next morning, a time that has passed today starts at once,
    // missing digits read 0, and a huge hour does not overflow; -1: refused.
    const std::pair<const char*, int> cases[] = { { "25:00:00", 15 * 3600 * 1000 + 30 * 60 * 1000 }, { "08:00:00", 0 },
        { "09:30:05", 5000 }, { "9:45:", 15 * 60 * 1000 }, { "9:29:60", 0 }, { "99999999999:0:0", 2147483647 },
        { "0800", -1 }, { ":08:00", -1 }, { "08:00", -1 }, { "", -1 } };
    for (const auto& [text, expected] : cases) {
        int ms = -1;
        const int result = StartAtDelay(text, now, &ms);
        EXPECT_EQ(result == 0 ? ms : -1, expected) << text;
        EXPECT_EQ(result, expected < 0 ? -1 : 0) << text;
    }
}

TEST_F(Scheduling, PauseHoldsEventsAndSkipsTheIntervalItInterrupts)
{
    const Quorvel event = EverySeconds(Quick("paused"), 3600);
    // Pause right after the check, resume once the event has reported it.
    auto checks = std::make_shared<std::atomic<int>>(0);
    page.onStatus = [checks](const std::string&, const std::string& status) {
        if (status == "Check passed" && (*checks)++ == 0)
            g_pause = 1;
    };
    std::thread user([this] {
        WaitUntil([this] { return page.Count("paused", "Paused by user") > 0; });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        g_pause = 0;
    });
    project.AddEvent(event);
    const auto started = Clock::now();
    project.Run(&page, nullptr);
    user.join();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(30)) << "the hour's interval was skipped";
    // A paused iteration skips its interval and its iteration test: "once" runs twice.
    EXPECT_EQ(page.Count("paused", "Paused by user"), 1) << "told once per pause";
    EXPECT_EQ(page.Count("paused", "Executing"), 2);
    EXPECT_EQ(page.Last("paused"), "Completed");
    EXPECT_EQ(g_pause, 0) << "Run clears the pause at its end";
}

TEST_F(Scheduling, TerminateEventAndTerminateProject)
{
    Quorvel stopper = Endless(Quick("stopper"));
    stopper.bTermEvent = 1;
    Quorvel ender = DelayedFor(Endless(Quick("ender")), 1);
    ender.bTermProject = 1;
    Quorvel other = EverySeconds(Endless(Quick("other")), 1);
    other.cond = COND_ON_ERROR; // never acts: only the project flag ends it
    for (const Quorvel& event : { stopper, ender, other })
        project.AddEvent(event);
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    EXPECT_EQ(page.Count("stopper", "Executing") + page.Count("ender", "Executing"), 2);
    for (const char* note : { "stopper", "ender", "other" })
        EXPECT_EQ(page.Last(note), "Completed") << note;
    EXPECT_EQ(g_terminateProject, 1);
}

// Nothing to run, and more than 24 participants, are told; 24 selected of 25 run.
TEST_F(Scheduling, RunsThatCannotStartAreTold)
{
    Quorvel disabled = Quick("off");
    disabled.enabled = 0;
    project.AddEvent(disabled);
    EXPECT_EQ(project.Run(&page, nullptr), -1);
    const std::vector<uint16_t> none { 0 };
    project.GetEvent(0)->enabled = 1;
    EXPECT_EQ(project.Run(&page, &none), -1);
    EXPECT_TRUE(page.runControls.empty());

    project.Clear();
    for (int i = 0; i < 25; ++i)
        project.events.push_back(Quick(StrFormat("e%d", i))); // as a hand-made file would load
    EXPECT_EQ(project.Run(&page, nullptr), -1);
    EXPECT_EQ(box.Shown(),
        (std::vector<std::string> { "Warning!: Project is empty or all events are disabled.",
            "Warning!: There are no checked events to run", "Error!: Maximum active events is 24." }));
    std::vector<uint16_t> fewer(25, 1);
    fewer[0] = 0;
    EXPECT_EQ(project.Run(&page, &fewer), 0) << "24 selected events run";
}

} // namespace
