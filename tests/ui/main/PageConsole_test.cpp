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
// serves no events until the worker has finished all of its calls.
TEST(PageConsole, WorkersNeverWaitForTheWindowThread)
{
    PageConsole page;
    Quorvel event;
    event.EventNote = "note";
    page.ClearLists();
    std::thread worker([&] {
        page.EnableRunControls(true);
        const int row = page.AddActiveRow(event, "Started");
        for (int i = 0; i < 1000; ++i)
            page.SetRowStatus(row, "Executing");
        page.SetRowStatus(row, "Completed");
        page.SetRowStatus(-1, "ignored");
        page.SetRowStatus(1, "ignored");
    });
    worker.join();
    page.Drain();
    EXPECT_EQ(std::make_tuple(page.Active().rowCount(), page.Active().Cell(0, 2), page.ExecLog().rowCount(),
                  page.ExecLog().Cell(0, 1)),
        std::make_tuple(1, QStringLiteral("Completed"), 1002, QStringLiteral("note")));
}

// A run of days must not fill the memory: the execution log keeps its newest rows and says so.
TEST(PageConsole, TheExecutionLogKeepsOnlyItsNewestRows)
{
    g_settings->setInt("ExecLogMaxRows", 5);
    PageConsole page;
    g_settings->setInt("ExecLogMaxRows", 100000);
    Quorvel event;
    page.ClearLists();
    const int row = page.AddActiveRow(event, "Started");
    for (int i = 0; i < 4; ++i)
        page.SetRowStatus(row, StrFormat("s%d", i));
    page.Drain();
    EXPECT_EQ(page.ExecLog().rowCount(), 5);
    for (int i = 4; i < 12; ++i) {
        page.SetRowStatus(row, StrFormat("s%d", i));
        if (i % 3 == 0)
            page.Drain();
    }
    page.Drain();
    EXPECT_EQ(std::make_tuple(page.ExecLog().rowCount(), page.ExecLog().Cell(0, 2), page.ExecLog().Cell(4, 2),
                  page.ExecLog().Dropped()),
        std::make_tuple(5, QStringLiteral("s7"), QStringLiteral("s11"), 8));
    const auto labels = page.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
        return label->isVisibleTo(&page) && label->text().contains(QStringLiteral("not shown"));
    }));
    page.ClearLists(); // a new run starts empty
    page.Drain();
    EXPECT_EQ(page.ExecLog().rowCount() + page.Active().rowCount(), 0);
}

} // namespace
