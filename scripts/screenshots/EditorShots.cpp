#include "screenshots/Shots.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "model/Quorvel.h"
#include "ui/editor/EventProps.h"
#include "ui/gui/CAdvConnect.h"
#include "ui/gui/CRunSQL.h"
#include "ui/gui/SqlEditor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>

// The SQL console after a query, every tab of the editor and the set-up dialog of its connection.
void EditorShots(ShotContext& shots)
{
    TempDir dir;
    const CONN_INFO info = SqliteConnection(dir.File("shop.db"),
        "CREATE TABLE orders (id INTEGER, customer TEXT, state TEXT, total REAL);"
        "INSERT INTO orders VALUES (1, 'Ann', 'open', 12.5), (2, 'Bo', 'shipped', 40), (3, 'Cy', 'open', 7.25),"
        "(4, 'Di', 'open', 99.9);");
    CRunSQL& console = CRunSQL::Instance();
    console.SetSmartInput(true);
    console.Open(info);
    ServeUntil([&] { return !console.Busy(); }, 5000);
    console.Editor().setText(QStringLiteral("SELECT id, customer, total\n  FROM orders\n WHERE state = 'open';"));
    console.Run();
    ServeUntil([&] { return !console.Busy(); }, 5000);
    console.resize(720, 520);
    shots.Save(console, QStringLiteral("editor-sql-console"));
    console.reject();

    // An event with something on every page, as a user would have set it up.
    Quorvel e;
    e.EventNote = "Orders waiting too long";
    e.SQL = "SELECT count(*)\n  FROM orders\n WHERE state = 'open'\n   AND created < now() - interval '1 hour';";
    e.checkConn.type = DS_POSTGRES, e.checkConn.target = "host=db1 dbname=sales", e.checkConn.user = "monitor";
    e.delayType = DELAY_START_AT, e.tmStartAt = "08:30:00", e.iterType = ITER_COUNT, e.iExecs = 12;
    e.intType = INTERVAL_WAIT, e.iInterval = 5, e.intTimeType = UNIT_MINUTES;
    e.cond = COND_RESULT_VALUE, e.resCheck = OP_GREATER, e.resCheckValue = 100;
    e.iActWhen = ACT_ON_START, e.iRepeatEvery = 10, e.bActOnRecovery = 1;
    e.action = ACTION_SQL, e.actionConn = e.checkConn, e.bTermEvent = 1;
    e.ActionSQL = "INSERT INTO alerts (what, value)\nVALUES ('open orders', $VALUE$);";
    e.sLogItem = "$DATE$ $TIME$ open orders: $VALUE$";
    EventProps editor(nullptr, e);
    editor.resize(760, 560);
    const char* names[] = { "editor-connection", "editor-event", "editor-timers", "editor-condition", "editor-action" };
    for (int tab = 0; tab < EventProps::kTabCount; ++tab) {
        editor.Tabs().setCurrentIndex(tab);
        shots.Save(editor, QString::fromUtf8(names[tab]));
    }
    // A value that the project file held as a text where a number belongs shows its default, marked.
    e.unreadableKeys = { "iInterval" };
    e.iInterval = 0;
    EventProps marked(nullptr, e);
    marked.resize(760, 560);
    marked.Tabs().setCurrentIndex(EventProps::kTimers);
    shots.Save(marked, QStringLiteral("editor-unreadable-value"));
    CAdvConnect setup;
    setup.SetConnection(e.checkConn);
    setup.Password().setText(QStringLiteral("not shown"));
    setup.resize(560, 300);
    shots.Save(setup, QStringLiteral("editor-setup-connection"));
}
