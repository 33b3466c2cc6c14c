#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/FileOps.h"
#include "model/EventFields.h"
#include "model/QuorvelRunner.h"
#include "support/RecordingBox.h"
#include "support/TestEnv.h"
#include "support/TestEvents.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace {

// Every field of an event's definition, to compare two events with one equality (the long SQL
// text by its hash, to keep a failure's message short).
auto Definition(const Quorvel& q)
{
    return std::tuple(q.bNeedConnect, q.type, q.cond, q.action, q.delayType, q.delayTimeType, q.iterType, q.intType,
        q.intTimeType, q.rowCheck, q.resCheck, q.EventNote, std::hash<std::string> {}(q.SQL), q.FileOrDir, q.ActionSQL,
        q.sProgram, q.sLogItem, q.PerfCounter, q.Machine, q.tmStartAt, q.enabled, q.bTermEvent, q.bTermProject,
        q.iDelay, q.iInterval, q.iExecs, q.rowCheckValue, q.resCheckValue, q.checkConn.ConInfo(), q.checkConn.user,
        q.checkConn.password, q.checkConn.savePassword, q.actionConn.ConInfo(), q.actionConn.user, q.iActWhen, q.iRepeatEvery, q.bActOnRecovery, q.iTimeout);
}

auto Header(const QuorvelRunner& p)
{
    return std::tuple(p.reportFile, p.logFile, p.summaryFile, p.metricsFile, p.author, p.description, p.checkTimeout,
        p.listen, p.listenAuth, p.shareConnections);
}

TEST(ProjectFile, EveryFieldRoundTrips)
{
    TempDir dir;
    const std::string path = dir.File("nightly.qvl");
    QuorvelRunner saved;
    saved.reportFile = "/tmp/report_$DATE$.txt";
    saved.logFile = "log \"x\".txt";
    saved.summaryFile = "sum.html";
    saved.metricsFile = "/var/lib/node/quorvel $DATE$.prom"; // no macro is expanded
    saved.author = "Zoë";
    saved.description = "line 1\nline 2\r\n\ttabbed";
    saved.checkTimeout = 45;
    saved.shareConnections = 1;
    saved.listen = "[::1]:8088";
    saved.listenAuth = "/etc/quorvel/users";
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(saved.AddEvent(EveryField(i)), 0);
    saved.events[1].SQL += std::string(100 * 1024, 's');
    ASSERT_EQ(saved.Save(path), 0);

    QuorvelRunner loaded;
    loaded.Load(path);
    EXPECT_EQ(Header(loaded), Header(saved));
    ASSERT_EQ(loaded.Count(), 3);
    // Against events built directly, not through the copy that AddEvent and the editor use, so
    // that a field the copy, the saver or the loader drops fails here.
    for (int i = 0; i < 3; ++i) {
        Quorvel expected = EveryField(i);
        if (i == 1)
            expected.SQL += std::string(100 * 1024, 's');
        EXPECT_EQ(Definition(*loaded.GetEvent(i)), Definition(expected));
        expected.actionConn.password.clear(); // not to be saved
        EXPECT_TRUE(SameEventFields(*loaded.GetEvent(i), expected));
        EXPECT_EQ(Definition(Quorvel(expected)), Definition(expected));
        Quorvel changed = expected;
        changed.iTimeout += 1;
        EXPECT_FALSE(SameEventFields(changed, expected));
    }
    EXPECT_EQ(loaded.GetEvent(0)->checkConn.savePassword, 1);
    EXPECT_EQ(loaded.GetEvent(0)->actionConn.password, "") << "a password that is not to be saved is not saved";

    struct stat st { };
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a project holding a password is private";
    EXPECT_EQ(ReadFile(path).find("not saved"), std::string::npos);
    // Not written while 0 (event 0): a file saved before these keys existed is saved as it was.
    for (const char* key : { "iActWhen", "iRepeatEvery", "bActOnRecovery", "iTimeout" })
        EXPECT_EQ(ReadFile(path).find(std::string(key) + " = 0"), std::string::npos) << key;
    EXPECT_NE(ReadFile(path).find("iActWhen = 2"), std::string::npos);
}

// How many events a damaged, huge, garbage or cut-short project file loads as, and what it logs;
// a file that does not parse loads as empty.
TEST(ProjectFile, DamagedFilesLoadWhatTheyHold)
{
    using namespace std::string_literals;
    std::string thirty = "[Common]\nItems = 30\n";
    for (int i = 0; i < 30; ++i)
        thirty += "[Item" + std::to_string(i) + "]\nSQL = \"" + std::to_string(i) + "\"\n";
    struct Case {
        std::string content;
        int count;
        std::string lastSql, logged;
    };
    const Case cases[] = {
        { "[Common]\nItems = 0\n[Item0]\nSQL = \"x\"\n", 0, "", "" },
        // A damaged count loads what the file holds, not two billion records.
        { "[Common]\nItems = 2000000000\n[Item0]\nSQL = \"x\"\n[Item2]\nSQL = \"z\"\n", 3, "z", "" },
        // Found by fuzz_store: a lone section with a huge number made the loader build a hundred
        // million default events, for minutes and gigabytes.
        { "[Common]\nItems = 2000000000\n[Item0]\nSQL = \"x\"\n[Item99999999]\nSQL = \"z\"\n", 25, "",
            "lacks more than 24 of its 100000000 event sections" },
        { thirty, 30, "29", "holds 30 events" },
        { "\x7f"s + "ELF\x02\x01\x01\x00\x00"s + "[Common]\nItems = 3", 0, "", "does not parse" },
        { "[Common]\nItems = 2\n[Item0]\nSQL = \"SELECT", 0, "", "does not parse" },
        { "[Common\nItems = 3", 0, "", "does not parse" },
        { "[Common]\nItems = 1\n[Common]\n", 0, "", "does not parse" },
    };
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    for (const Case& c : cases) {
        WriteFile(path, c.content);
        QuorvelRunner project;
        project.AddEvent(Quorvel());
        project.author = "old";
        project.Load(path);
        ASSERT_EQ(project.Count(), c.count) << c.content.substr(0, 60);
        EXPECT_EQ(project.author, "");
        EXPECT_EQ(c.count > 0 ? project.GetEvent(c.count - 1)->SQL : "", c.lastSql);
        EXPECT_NE(CLog::GetLastRows().find(c.logged), std::string::npos) << c.logged;
    }
    QuorvelRunner missing;
    missing.Load(dir.File("does-not-exist.qvl"));
    EXPECT_EQ(missing.Count(), 0);
}

// Found by fuzz_store (UndefinedBehaviorSanitizer): a connection kind outside the enum was stored
// in it, which its old underlying type could not hold. Keys that are missing take the defaults of
// reading, not those of a new record (30, 30, 10 and 1).
TEST(ProjectFile, UnknownConnectionKindsAreKeptAndNeverConnectAndMissingKeysTakeTheReadDefaults)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[Common]\nItems = 1\n[Item0]\n[Item0_connect]\ntype = 5\n[Item0_action]\ntype = -2147483648\n");
    QuorvelRunner project;
    project.Load(path);
    ASSERT_EQ(project.Count(), 1);
    const Quorvel& event = *project.GetEvent(0);
    EXPECT_EQ(std::tuple(event.enabled, event.iDelay, event.iInterval, event.iExecs, event.bNeedConnect, event.SQL),
        std::tuple(1, 0, 0, 0, 0, ""));
    EXPECT_EQ(static_cast<int>(event.checkConn.type), 5);
    EXPECT_EQ(event.checkConn.ConInfo(), "Unknown: ");
    EXPECT_EQ(CDB::newDB(event.actionConn.type), nullptr);
    ASSERT_EQ(project.Save(path), 0);
    QuorvelRunner again;
    again.Load(path);
    EXPECT_EQ(static_cast<int>(again.GetEvent(0)->actionConn.type), -2147483647 - 1);
}

TEST(ProjectFile, SavingMakesTheBackupOnce)
{
    TempDir dir;
    const std::string path = dir.File("Nightly.QVL");
    const auto authorOf = [](const std::string& file) {
        QuorvelRunner p;
        p.Load(file);
        return p.author;
    };
    QuorvelRunner project;
    project.author = "first";
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_FALSE(PathExists(dir.File("nightly.bak")));
    project.author = "second";
    project.metricsFile = "m.prom";
    project.listen = "8088";
    for (int i = 0; i < 3; ++i)
        project.AddEvent(Quorvel());
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_EQ(authorOf(dir.File("nightly.bak")), "first");
    // With a backup in place (as with a name without ".qvl"), the project file is rewritten and the
    // old backup kept; the optional metrics key must still go when it was emptied, and sections of
    // deleted events that stay behind are harmless.
    project.author = "third";
    project.metricsFile.clear();
    project.listen.clear();
    project.DeleteEvent(0);
    project.DeleteEvent(0);
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_EQ(authorOf(dir.File("nightly.bak")), "first");
    EXPECT_EQ(authorOf(path), "third");
    EXPECT_EQ(ReadFile(path).find("Metrics"), std::string::npos);
    EXPECT_EQ(ReadFile(path).find("Listen"), std::string::npos);
    EXPECT_TRUE(CSysReg(path).HasSection("Item2"));
    QuorvelRunner loaded;
    loaded.Load(path);
    EXPECT_EQ(loaded.Count(), 1);
    EXPECT_EQ(project.Save(dir.File("no/such/folder/p.qvl")), -1);
    EXPECT_EQ(QuorvelRunner::BackupPath("/w/a.qvl.qvl"), "/w/a.bak.bak");
    EXPECT_EQ(QuorvelRunner::BackupPath("/Data.qvl/Project"), "/Data.qvl/project");
}

TEST(ProjectList, AddGetDeleteClear)
{
    RecordingBox box;
    QuorvelRunner project;
    for (int i = 0; i < kMaxEvents; ++i)
        ASSERT_EQ(project.AddEvent(EveryField(i)), 0); // iExecs is i
    EXPECT_EQ(project.AddEvent(Quorvel()), -1);
    EXPECT_EQ(project.Count(), 24);
    EXPECT_EQ(box.Shown(), std::vector<std::string> { "Error!: Maximum active events is 24." });

    EXPECT_EQ(project.GetEvent(-1), nullptr);
    EXPECT_EQ(project.GetEvent(24), nullptr);
    project.DeleteEvent(-1);
    project.DeleteEvent(24);
    EXPECT_EQ(project.Count(), 24);
    project.DeleteEvent(0);
    EXPECT_EQ(project.GetEvent(0)->iExecs, 1);

    EXPECT_EQ(project.WarnIfEmpty(), 0);
    project.author = "a";
    project.metricsFile = "m.prom";
    project.currentReportFile = "kept";
    project.Clear();
    EXPECT_EQ(project.author + project.metricsFile, "");
    EXPECT_EQ(project.currentReportFile, "kept");
    EXPECT_EQ(project.WarnIfEmpty(), 1);
    EXPECT_EQ(box.Shown().back(), "Warning!: Events list is empty.");
}

} // namespace
