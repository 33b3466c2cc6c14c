#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "ui/gui/SqlEditor.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlEditor, AFreshTextHasNothingToUndoAndFindWraps)
{
    SqlEditor editor;
    editor.SetText("SELECT a FROM t;\nSELECT b FROM t;");
    EXPECT_FALSE(editor.isUndoAvailable());
    editor.setCursorPosition(1, 10);
    EXPECT_TRUE(editor.FindText(QStringLiteral("a FROM")));
    int line = -1, index = -1;
    editor.getCursorPosition(&line, &index);
    EXPECT_EQ(line, 0);
    EXPECT_FALSE(editor.FindText(QStringLiteral("nowhere")));

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
