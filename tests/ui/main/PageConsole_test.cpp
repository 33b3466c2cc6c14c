#include "external/support/CSettings.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "ui/gui/RowsModel.h"
#include "ui/main/PageConsole.h"

#include <QLabel>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

// Workers hand their changes over without waiting for the window thread: this window thread
// serves no events until the worker has finished all of its calls. A run of days must not fill
// the memory: the execution log keeps its newest rows and says so.
TEST(PageConsole, WorkersNeverWaitAndTheExecutionLogKeepsOnlyItsNewestRows)
{
    g_settings->setInt("ExecLogMaxRows", 5);
    PageConsole page;
    g_settings->setInt("ExecLogMaxRows", 100000);
    Quorvel event;
    event.EventNote = "note";
    page.ClearLists();
    int row = -1;
    std::thread worker([&] {
        page.EnableRunControls(true);
        row = page.AddActiveRow(event, "Started");
        for (int i = 0; i < 1000; ++i)
            page.SetRowStatus(row, "Executing");
        page.SetRowStatus(row, "Completed");
        page.SetRowStatus(-1, "ignored");
        page.SetRowStatus(1, "ignored");
    });
    worker.join();
    page.Drain();
    RowsModel& log = page.ExecLog();
    EXPECT_EQ(std::make_tuple(page.Active().rowCount(), page.Active().Cell(0, 2), log.rowCount(), log.Cell(4, 1),
                  log.Cell(4, 2), log.Dropped()),
        std::make_tuple(1, QStringLiteral("Completed"), 5, QStringLiteral("note"), QStringLiteral("Completed"), 997));
    for (int i = 0; i < 8; ++i) {
        page.SetRowStatus(row, StrFormat("s%d", i));
        if (i % 3 == 0)
            page.Drain();
    }
    page.Drain();
    EXPECT_EQ(std::make_tuple(log.rowCount(), log.Cell(0, 2), log.Cell(4, 2), log.Dropped()),
        std::make_tuple(5, QStringLiteral("s3"), QStringLiteral("s7"), 1005));
    const auto labels = page.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
        return label->isVisibleTo(&page) && label->text().contains(QStringLiteral("not shown"));
    }));
    page.ClearLists(); // a new run starts empty
    page.Drain();
    EXPECT_EQ(page.ExecLog().rowCount() + page.Active().rowCount(), 0);
}

// Each active row draws its latest check times, the newest 60 of them, and says them in words.
TEST(PageConsole, ActiveRowsShowTheirRecentCheckTimes)
{
    PageConsole page;
    Quorvel event;
    page.ClearLists();
    const int row = page.AddActiveRow(event, "Started");
    page.Executed(row + 1, 5, false); // no such row
    for (uint32_t ms = 1; ms <= 100; ++ms)
        page.Executed(row, ms, ms == 70);
    page.Drain();
    const SparkPoints points
        = page.Active().index(row, PageConsole::kRecentColumn).data(RowsModel::kRowDataRole).value<SparkPoints>();
    ASSERT_EQ(points.ms.size(), 60u);
    EXPECT_EQ(std::make_tuple(points.ms.front(), points.ms.back(), points.failed[29]), std::make_tuple(41u, 100u, char(1)));
    EXPECT_EQ(page.Active().Cell(row, PageConsole::kRecentColumn), QStringLiteral("100 ms, max 100 ms; 1 failed"));
    EXPECT_EQ(page.Active().rowCount(), 1);
}

} // namespace
