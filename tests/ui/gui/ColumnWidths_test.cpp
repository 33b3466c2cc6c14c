#include "support/UiTestSupport.h"

#include "external/support/CSettings.h"
#include "ui/gui/ColumnWidths.h"
#include "ui/gui/RowsModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

TEST(ColumnWidths, TheWidestGiveWayFirst)
{
    struct Case {
        std::vector<int> wanted;
        std::vector<int> floors;
        int available;
        std::vector<int> fitted;
    };
    const Case cases[] = {
        { { 100, 200, 50 }, { 40, 40, 40 }, 400, { 100, 200, 50 } }, // room enough: as asked
        { { 100, 300, 50 }, { 40, 40, 40 }, 300, { 100, 150, 50 } }, // only the widest gives way
        { { 300, 300, 60 }, { 40, 40, 40 }, 360, { 150, 150, 60 } }, // the wide ones share alike
        { { 90, 300, 300 }, { 90, 40, 40 }, 250, { 90, 80, 80 } }, // a date keeps its floor
        { { 300, 300, 300 }, { 40, 40, 40 }, 90, { 40, 40, 40 } }, // never below the floors: it scrolls
        { { 30, 500 }, { 40, 40 }, 100, { 30, 70 } }, // a column narrower than its floor keeps its width
        { {}, {}, 10, {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColumnWidths::Fit(c.wanted, c.floors, c.available), c.fitted) << c.available;
}

// A width stored in a wide window never makes a narrow one scroll sideways, and comes back when
// the window is wide again; a column at its default width follows its content; the user's width
// is kept, a content width is not stored.
TEST(ColumnWidths, StoredWidthsFitTheViewAndContentSizesTheRest)
{
    g_settings->setInt("ExecLogW1", 900);
    g_settings->setInt("ExecLogW2", 130); // the default
    RowsModel model({ QStringLiteral("Wide"), QStringLiteral("Content"), QStringLiteral("Last") });
    QTableView view;
    view.setModel(&model);
    ColumnWidths* widths = ColumnWidths::Attach(view, *view.horizontalHeader(), { "ExecLogW1", "ExecLogW2" });
    view.resize(1600, 300);
    view.show();
    model.Append(
        { { QStringLiteral("a"), QStringLiteral("a text rather longer than the title"), QStringLiteral("z") } });
    ASSERT_TRUE(ServeUntil([&] { return widths->Wanted()[1] > 150; }));
    EXPECT_EQ(view.columnWidth(0), 900);
    const int content = view.columnWidth(1);
    EXPECT_LT(content, 400);

    view.resize(700, 300);
    ASSERT_TRUE(ServeUntil([&] { return view.viewport()->width() < 700; }));
    QApplication::processEvents();
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
    EXPECT_LT(view.columnWidth(0), 700 - content);
    view.resize(1600, 300);
    ASSERT_TRUE(ServeUntil([&] { return view.columnWidth(0) == 900; }));

    view.horizontalHeader()->resizeSection(0, 250); // as the user drags it
    widths->Store();
    EXPECT_EQ(g_settings->getInt("ExecLogW1"), 250);
    EXPECT_EQ(g_settings->getInt("ExecLogW2"), 130);
    g_settings->setInt("ExecLogW1", 230);
}

} // namespace
