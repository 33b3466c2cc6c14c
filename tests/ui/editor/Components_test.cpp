#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "ui/gui/CHistCBox.h"
#include "ui/gui/SqlEditor.h"

#include <gtest/gtest.h>

namespace {

TEST(CHistCBox, KeepsItsListSortedAndShowsWhatWasTyped)
{
    CHistCBox box;
    for (const char* text : { "pear", "Apple", "fig", "pear" })
        box.AddHistory(QString::fromUtf8(text));
    box.SetActiveOrAdd(QStringLiteral("kiwi"));
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    EXPECT_EQ(items,
        (QStringList {
            QStringLiteral("Apple"), QStringLiteral("fig"), QStringLiteral("kiwi"), QStringLiteral("pear") }));
    EXPECT_EQ(box.GetCurString(), QStringLiteral("kiwi"));
    box.SetActiveOrAdd(QString());
    EXPECT_EQ(box.GetCurString(), QString());
    EXPECT_EQ(box.count(), 4);
}

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
