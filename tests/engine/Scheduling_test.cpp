#include "engine/EngineFixture.h"
#include "engine/RunControl.h"
#include "engine/StartAt.h"
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
    // A file check on a file that exists: quick, and passes.
    Quorvel Quick(const std::string& note)
    {
        WriteFile(dir.File("present"), "x");
        return FileEvent(note, dir.File("present"));
    }
};

TEST_F(Scheduling, IterationTypesAndIntervals)
{
    Quorvel once = Quick("once");
    once.intType = INTERVAL_WAIT;
    once.iInterval = 1;
    Quorvel three = Quick("three");
    three.iterType = ITER_COUNT;
    three.iExecs = 3;
    three.intType = INTERVAL_WAIT;
    three.iInterval = 1;
    Quorvel zero = Quick("zero");
    zero.iterType = ITER_COUNT;
    zero.iExecs = 0;
    project.AddEvent(once);
    project.AddEvent(three);
    project.AddEvent(zero);

    const auto started = Clock::now();
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    const auto took = Clock::now() - started;

    EXPECT_EQ(page.Count("once", "Executing"), 1);
    EXPECT_EQ(page.Count("once", "Paused"), 0) << "no interval after the last iteration";
    EXPECT_EQ(page.Count("three", "Executing"), 3);
    EXPECT_EQ(page.Count("three", "Paused"), 2);
    EXPECT_EQ(page.Count("zero", "Executing"), 1) << "every event executes at least once";
    for (const char* note : {"once", "three", "zero"}) {
        EXPECT_EQ(page.Statuses(note).front(), "Started");
        EXPECT_EQ(page.Last(note), "Completed");
    }
    // Two exact one-second intervals.
    EXPECT_GE(took, std::chrono::milliseconds(2000));
    EXPECT_EQ(page.runControls, (std::vector<bool>{true, false}));
}

TEST_F(Scheduling, FirstDelayWaitsBeforeTheFirstIteration)
{
    Quorvel delayed = Quick("delayed");
    delayed.delayType = DELAY_FOR;
    delayed.iDelay = 1;
    delayed.delayTimeType = UNIT_SECONDS;
    project.AddEvent(delayed);
    const auto started = Clock::now();
    project.Run(&page, nullptr);
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_EQ(page.Statuses("delayed"),
              (std::vector<std::string>{"Started", "Paused", "Executing", "Check passed", "Do action", "Completed"}));
}

TEST(StartAt, WaitsUntilTheTimeOfDay)
{
    std::tm now{};
    now.tm_hour = 9;
    now.tm_min = 30;
    int ms = -1;
    ASSERT_EQ(StartAtDelay("25:00:00", now, &ms), 0);
    EXPECT_EQ(ms, 15 * 3600 * 1000 + 30 * 60 * 1000) << "one o'clock the next morning";
    ASSERT_EQ(StartAtDelay("08:00:00", now, &ms), 0);
    EXPECT_EQ(ms, 0) << "a time that has passed today starts at once";
    ASSERT_EQ(StartAtDelay("09:30:05", now, &ms), 0);
    EXPECT_EQ(ms, 5000);
    ASSERT_EQ(StartAtDelay("9:45:", now, &ms), 0);
    EXPECT_EQ(ms, 15 * 60 * 1000) << "missing digits read 0";
    ASSERT_EQ(StartAtDelay("9:29:60", now, &ms), 0);
    EXPECT_EQ(ms, 0);
    ASSERT_EQ(StartAtDelay("99999999999:0:0", now, &ms), 0);
    EXPECT_EQ(ms, 2147483647) << "no overflow";
    EXPECT_EQ(StartAtDelay("0800", now, &ms), -1);
    EXPECT_EQ(StartAtDelay(":08:00", now, &ms), -1);
    EXPECT_EQ(StartAtDelay("08:00", now, &ms), -1);
    EXPECT_EQ(StartAtDelay("", now, &ms), -1);
}

TEST_F(Scheduling, WrongStartTimeIsToldAndTheEventStartsAtOnce)
{
    Quorvel event = Quick("early");
    event.delayType = DELAY_START_AT;
    event.tmStartAt = "0800";
    project.AddEvent(event);
    project.Run(&page, nullptr);
    EXPECT_EQ(box.Shown(), (std::vector<std::string>{"Error!: Unrecognized time format: 0800"}));
    EXPECT_EQ(page.Count("early", "Executing"), 1);
}

TEST_F(Scheduling, BrokenEventEndsAloneBeforeAnyIteration)
{
    Quorvel broken = Quick("broken");
    broken.delayType = 7;
    project.AddEvent(broken);
    project.AddEvent(Quick("sound"));
    project.Run(&page, nullptr);
    EXPECT_EQ(page.Statuses("broken"), (std::vector<std::string>{"Started", "Broken event"}));
    EXPECT_EQ(page.Last("sound"), "Completed");
    EXPECT_NE(CLog::GetLastRows().find("Broken event execution attempt"), std::string::npos);
}

TEST_F(Scheduling, BreakAllEndsLongWaitsPromptly)
{
    for (const char* note : {"a", "b"}) {
        Quorvel waiting = Quick(note);
        waiting.iterType = ITER_ENDLESS;
        waiting.intType = INTERVAL_WAIT;
        waiting.iInterval = 1;
        waiting.intTimeType = UNIT_HOURS;
        project.AddEvent(waiting);
    }
    Quorvel delayed = Quick("delayed");
    delayed.delayType = DELAY_FOR;
    delayed.iDelay = 1;
    delayed.delayTimeType = UNIT_HOURS;
    project.AddEvent(delayed);
    std::thread breaker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        BreakAll();
    });
    const auto started = Clock::now();
    project.Run(&page, nullptr);
    breaker.join();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    for (const char* note : {"a", "b", "delayed"})
        EXPECT_EQ(page.Last(note), "Cancelled") << note;
    EXPECT_EQ(page.Count("a", "Executing"), 1);
    EXPECT_EQ(page.Count("delayed", "Executing"), 0);
}

TEST_F(Scheduling, PauseHoldsEventsAndSkipsTheIntervalItInterrupts)
{
    Quorvel event = Quick("paused");
    event.intType = INTERVAL_WAIT;
    event.iInterval = 1;
    event.intTimeType = UNIT_HOURS;
    // Pause right after the check, resume once the event has reported it.
    auto checks = std::make_shared<std::atomic<int>>(0);
    page.onStatus = [checks](const std::string&, const std::string& status) {
        if (status == "Check passed" && (*checks)++ == 0)
            g_pause = 1;
    };
    std::thread user([this] {
        while (page.Count("paused", "Paused by user") == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
    Quorvel stopper = Quick("stopper");
    stopper.iterType = ITER_ENDLESS;
    stopper.bTermEvent = 1;
    Quorvel ender = Quick("ender");
    ender.iterType = ITER_ENDLESS;
    ender.delayType = DELAY_FOR;
    ender.iDelay = 1;
    ender.bTermProject = 1;
    Quorvel other = Quick("other");
    other.iterType = ITER_ENDLESS;
    other.cond = COND_ON_ERROR; // never acts: only the project flag ends it
    other.intType = INTERVAL_WAIT;
    other.iInterval = 1;
    project.AddEvent(stopper);
    project.AddEvent(ender);
    project.AddEvent(other);
    ASSERT_EQ(project.Run(&page, nullptr), 0);
    EXPECT_EQ(page.Count("stopper", "Executing"), 1);
    EXPECT_EQ(page.Count("ender", "Executing"), 1);
    EXPECT_EQ(page.Last("stopper"), "Completed");
    EXPECT_EQ(page.Last("ender"), "Completed");
    EXPECT_EQ(page.Last("other"), "Completed");
    EXPECT_EQ(g_terminateProject, 1);
}

TEST_F(Scheduling, NothingToRunIsTold)
{
    Quorvel disabled = Quick("off");
    disabled.enabled = 0;
    project.AddEvent(disabled);
    EXPECT_EQ(project.Run(&page, nullptr), -1);
    const std::vector<uint16_t> none{0};
    project.GetEvent(0)->enabled = 1;
    EXPECT_EQ(project.Run(&page, &none), -1);
    EXPECT_EQ(box.Shown(), (std::vector<std::string>{"Warning!: Project is empty or all events are disabled.",
                                                     "Warning!: There are no checked events to run"}));
    EXPECT_TRUE(page.runControls.empty());
}

TEST_F(Scheduling, MoreThanTwentyFourParticipantsAreRefused)
{
    // StrFormat, not "e" + std::to_string(i): GCC 12 at -O3 reports a false -Wrestrict on that.
    for (int i = 0; i < 25; ++i)
        project.events.push_back(Quick(StrFormat("e%d", i))); // as a hand-made file would load
    EXPECT_EQ(project.Run(&page, nullptr), -1);
    EXPECT_EQ(box.Shown(), (std::vector<std::string>{"Error!: Maximum active events is 24."}));
    const std::vector<uint16_t> selection(25, 1);
    std::vector<uint16_t> fewer = selection;
    fewer[0] = 0;
    EXPECT_EQ(project.Run(&page, &fewer), 0) << "24 selected events run";
}

} // namespace
