#include "main/MainWindowFixture.h"

#include "model/EventTypes.h"
#include "model/QuorvelRunner.h"
#include "ui/editor/EvFile.h"
#include "ui/editor/EventProps.h"
#include "ui/editor/PgEvent.h"
#include "ui/gui/RowsModel.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace {

// From the window alone: an event made in the editor joins the project, is saved with it and runs.
TEST_F(MainWindowTest, AnEventMadeInTheEditorIsSavedAndRuns)
{
    CEventDlg& w = Open();
    const std::string watched = dir.File("watched");
    WriteFile(watched, "x");
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<EventProps*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        auto& page = static_cast<PgEvent&>(editor->Page(EventProps::kEvent));
        page.Type().setCurrentIndex(EVENT_FILE);
        page.Note().setText(QStringLiteral("watched file"));
        static_cast<EvFile&>(page.SubPage(EVENT_FILE)).Path().setText(QString::fromStdString(watched));
        editor->Save();
    });
    w.Dispatch(ID_ADD_EVENT);
    ASSERT_EQ(g_runner.Count(), 1);

    dialogs.ChooseFile(QString::fromStdString(dir.File("made.qvl")));
    w.Dispatch(ID_SAVE_AS);
    QuorvelRunner saved;
    saved.Load(dir.File("made.qvl"));
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_EQ(saved.events[0].type, EVENT_FILE);
    EXPECT_EQ(saved.events[0].FileOrDir, watched);

    w.Dispatch(ID_RUN_PROJECT);
    RowsModel& log = w.Console().ExecLog();
    ASSERT_TRUE(ServeUntil([&] {
        for (int row = 0; row < log.rowCount(); ++row)
            if (log.Cell(row, 1) == QStringLiteral("watched file")
                && log.Cell(row, 2) == QStringLiteral("Check passed"))
                return true;
        return false;
    }));
    w.Dispatch(ID_BREAK);
    ASSERT_TRUE(ServeUntil([&] { return !w.Running(); }));
}

} // namespace
