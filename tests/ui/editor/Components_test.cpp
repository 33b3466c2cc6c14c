#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "ui/gui/SqlEditor.h"

#include <gtest/gtest.h>

namespace {

// A text set or loaded is no change that Undo could take back.
TEST(SqlEditor, AFreshTextHasNothingToUndo)
{
    SqlEditor editor;
    editor.SetText("SELECT a FROM t;");
    EXPECT_FALSE(editor.isUndoAvailable());

    TempDir dir;
    WriteFile(dir.File("s.sql"), "SELECT 'ä';\n");
    ScriptedDialogs dialogs;
    dialogs.ChooseFile(QString::fromStdString(dir.File("s.sql")));
    editor.ChooseAndLoad();
    EXPECT_EQ(editor.Text(), "SELECT 'ä';\n");
    EXPECT_EQ(editor.LoadFile(QString::fromStdString(dir.File("missing.sql"))), -1);
    EXPECT_EQ(editor.Text(), "SELECT 'ä';\n");
}

} // namespace
