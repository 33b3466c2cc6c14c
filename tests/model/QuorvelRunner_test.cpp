#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/FileOps.h"
#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class RecordingBox : public MessageBoxSink {
public:
    RecordingBox() { previous_ = SetMessageBoxSink(this); }
    ~RecordingBox() override { SetMessageBoxSink(previous_); }
    int Show(const std::string& text, const std::string& caption, int style) override
    {
        shown.push_back(caption + "|" + text + "|" + std::to_string(style));
        return IDOK;
    }
    std::vector<std::string> shown;

private:
    MessageBoxSink* previous_;
};

Quorvel FullEvent(int seed)
{
    Quorvel q;
    q.bNeedConnect = seed % 2;
    q.type = EVENT_COUNTER;
    q.cond = COND_CHECK_TIME;
    q.action = ACTION_PROGRAM;
    q.delayType = DELAY_START_AT;
    q.delayTimeType = UNIT_HOURS;
    q.iterType = ITER_COUNT;
    q.intType = INTERVAL_WAIT;
    q.intTimeType = UNIT_MINUTES;
    q.rowCheck = OP_NOT_EQUAL;
    q.resCheck = 17; // out of range values are kept as they are
    q.EventNote = "note\twith tab " + std::to_string(seed);
    q.SQL = "SELECT 'a''b'\r\nFROM t -- \"quoted\"\n" + std::string(100 * 1024, 's');
    q.FileOrDir = "/var/ünïcödé/file";
    q.ActionSQL = "UPDATE t SET v = '$VALUE$'  \n";
    q.sProgram = "notify-send 'hello world'";
    q.sLogItem = "  $DATE$ $TIME$ value=$VALUE$  ";
    q.PerfCounter = "\\Processor(_Total)\\% Processor Time";
    q.Machine = "\\\\web01";
    q.tmStartAt = "08:30:00";
    q.enabled = 0;
    q.bTermEvent = 1;
    q.bTermProject = 1;
    q.iDelay = -5;
    q.iInterval = 2147483647;
    q.iExecs = 0;
    q.rowCheckValue = -2147483647 - 1;
    q.resCheckValue = 99;
    q.checkConn = CONN_INFO{DS_POSTGRES, "host=127.0.0.1 dbname=x", "alice", "secret", 1};
    q.actionConn = CONN_INFO{DS_ODBC, "DSN=reports", "bob", "not saved", 0};
    return q;
}

void ExpectSameDefinition(const Quorvel& a, const Quorvel& b)
{
    EXPECT_EQ(a.bNeedConnect, b.bNeedConnect);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.cond, b.cond);
    EXPECT_EQ(a.action, b.action);
    EXPECT_EQ(a.delayType, b.delayType);
    EXPECT_EQ(a.delayTimeType, b.delayTimeType);
    EXPECT_EQ(a.iterType, b.iterType);
    EXPECT_EQ(a.intType, b.intType);
    EXPECT_EQ(a.intTimeType, b.intTimeType);
    EXPECT_EQ(a.rowCheck, b.rowCheck);
    EXPECT_EQ(a.resCheck, b.resCheck);
    EXPECT_EQ(a.EventNote, b.EventNote);
    EXPECT_EQ(a.SQL, b.SQL);
    EXPECT_EQ(a.FileOrDir, b.FileOrDir);
    EXPECT_EQ(a.ActionSQL, b.ActionSQL);
    EXPECT_EQ(a.sProgram, b.sProgram);
    EXPECT_EQ(a.sLogItem, b.sLogItem);
    EXPECT_EQ(a.PerfCounter, b.PerfCounter);
    EXPECT_EQ(a.Machine, b.Machine);
    EXPECT_EQ(a.tmStartAt, b.tmStartAt);
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.bTermEvent, b.bTermEvent);
    EXPECT_EQ(a.bTermProject, b.bTermProject);
    EXPECT_EQ(a.iDelay, b.iDelay);
    EXPECT_EQ(a.iInterval, b.iInterval);
    EXPECT_EQ(a.iExecs, b.iExecs);
    EXPECT_EQ(a.rowCheckValue, b.rowCheckValue);
    EXPECT_EQ(a.resCheckValue, b.resCheckValue);
}

TEST(ProjectFile, EveryFieldRoundTrips)
{
    TempDir dir;
    const std::string path = dir.File("nightly.qvl");
    QuorvelRunner saved;
    saved.reportFile = "/tmp/report_$DATE$.txt";
    saved.logFile = "log \"x\".txt";
    saved.summaryFile = "sum.html";
    saved.author = "Zoë";
    saved.description = "line 1\nline 2\r\n\ttabbed";
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(saved.AddEvent(FullEvent(i)), 0);
    ASSERT_EQ(saved.Save(path), 0);

    QuorvelRunner loaded;
    loaded.Load(path);
    EXPECT_EQ(loaded.reportFile, saved.reportFile);
    EXPECT_EQ(loaded.logFile, saved.logFile);
    EXPECT_EQ(loaded.summaryFile, saved.summaryFile);
    EXPECT_EQ(loaded.author, saved.author);
    EXPECT_EQ(loaded.description, saved.description);
    ASSERT_EQ(loaded.Count(), 3);
    for (int i = 0; i < 3; ++i)
        ExpectSameDefinition(*loaded.GetEvent(i), *saved.GetEvent(i));
    const Quorvel& first = *loaded.GetEvent(0);
    EXPECT_TRUE(first.checkConn == saved.GetEvent(0)->checkConn);
    EXPECT_EQ(first.checkConn.savePassword, 1);
    EXPECT_EQ(first.actionConn.password, "") << "a password that is not to be saved is not saved";
    EXPECT_EQ(first.actionConn.target, "DSN=reports");
    EXPECT_EQ(first.actionConn.type, DS_ODBC);

    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a project holding a password is private";
    EXPECT_EQ(ReadFile(path).find("not saved"), std::string::npos);
}

TEST(ProjectFile, MissingKeysTakeTheReadDefaults)
{
    TempDir dir;
    const std::string path = dir.File("sparse.qvl");
    WriteFile(path, "[Common]\nItems = 2\n[Item0]\nSQL = \"SELECT 1\"\n[Item1]\nenabled = 0\n");
    QuorvelRunner project;
    project.Load(path);
    ASSERT_EQ(project.Count(), 2);
    const Quorvel& q = *project.GetEvent(0);
    EXPECT_EQ(q.SQL, "SELECT 1");
    EXPECT_EQ(q.enabled, 1) << "a section without \"enabled\" loads as an enabled event";
    EXPECT_EQ(q.iDelay, 0) << "not the new-record default of 30";
    EXPECT_EQ(q.iInterval, 0);
    EXPECT_EQ(q.iExecs, 0);
    EXPECT_EQ(q.bNeedConnect, 0);
    EXPECT_EQ(project.GetEvent(1)->enabled, 0);
}

TEST(ProjectFile, ItemsBoundsWhatIsRead)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[Common]\nItems = 0\n[Item0]\nSQL = \"x\"\n");
    QuorvelRunner project;
    project.AddEvent(Quorvel());
    project.author = "old";
    project.Load(path);
    EXPECT_EQ(project.Count(), 0);
    EXPECT_EQ(project.author, "");

    WriteFile(path, "[Common]\nItems = 2000000000\n[Item0]\nSQL = \"x\"\n[Item2]\nSQL = \"z\"\n");
    project.Load(path);
    ASSERT_EQ(project.Count(), 3) << "a damaged count loads what the file holds, not two billion records";
    EXPECT_EQ(project.GetEvent(1)->SQL, "");
    EXPECT_EQ(project.GetEvent(2)->SQL, "z");
}

// Found by fuzz_store: a lone section with a huge number made the loader build a hundred million
// default events, for minutes and gigabytes.
TEST(ProjectFile, FewSectionsWithHugeNumbersLoadQuickly)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[Common]\nItems = 2000000000\n[Item0]\nSQL = \"x\"\n[Item99999999]\nSQL = \"z\"\n");
    QuorvelRunner project;
    project.Load(path);
    EXPECT_EQ(project.Count(), 25) << "the one event held, then the first 24 missing ones";
    EXPECT_EQ(project.GetEvent(0)->SQL, "x");
    EXPECT_NE(CLog::GetLastRows().find("lacks more than 24 of its 100000000 event sections"), std::string::npos);
}

// Found by fuzz_store (UndefinedBehaviorSanitizer): a connection kind outside the enum was stored
// in it, which its old underlying type could not hold.
TEST(ProjectFile, UnknownConnectionKindsAreKeptAndNeverConnect)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[Common]\nItems = 1\n[Item0]\n[Item0_connect]\ntype = 5\n[Item0_action]\ntype = -2147483648\n");
    QuorvelRunner project;
    project.Load(path);
    ASSERT_EQ(project.Count(), 1);
    const Quorvel& event = *project.GetEvent(0);
    EXPECT_EQ(static_cast<int>(event.checkConn.type), 5);
    EXPECT_EQ(event.checkConn.ConInfo(), "Unknown: ");
    EXPECT_EQ(CDB::newDB(event.actionConn.type), nullptr);
    ASSERT_EQ(project.Save(path), 0);
    QuorvelRunner again;
    again.Load(path);
    EXPECT_EQ(static_cast<int>(again.GetEvent(0)->actionConn.type), -2147483647 - 1);
}

TEST(ProjectFile, MoreThanTwentyFourEventsLoadAndAreLogged)
{
    TempDir dir;
    const std::string path = dir.File("big.qvl");
    std::string content = "[Common]\nItems = 30\n";
    for (int i = 0; i < 30; ++i)
        content += "[Item" + std::to_string(i) + "]\niExecs = " + std::to_string(i) + "\n";
    WriteFile(path, content);
    QuorvelRunner project;
    project.Load(path);
    EXPECT_EQ(project.Count(), 30);
    EXPECT_EQ(project.GetEvent(29)->iExecs, 29);
    EXPECT_NE(CLog::GetLastRows().find("holds 30 events"), std::string::npos);
}

TEST(ProjectFile, GarbageOrMissingFilesLoadEmpty)
{
    TempDir dir;
    QuorvelRunner project;
    project.Load(dir.File("does-not-exist.qvl"));
    EXPECT_EQ(project.Count(), 0);
    const std::string path = dir.File("garbage.qvl");
    WriteFile(path, std::string("\x7f" "ELF\x02\x01\x01\x00\x00", 9) + "[Common]\nItems = 3");
    project.Load(path);
    EXPECT_EQ(project.Count(), 0);
    std::string truncated = "[Common]\nItems = 2\n[Item0]\nSQL = \"SELECT";
    WriteFile(path, truncated);
    project.Load(path);
    EXPECT_EQ(project.Count(), 0);
}

TEST(ProjectFile, BackupPaths)
{
    EXPECT_EQ(QuorvelRunner::BackupPath("/Work/Nightly.QVL"), "/Work/nightly.bak");
    EXPECT_EQ(QuorvelRunner::BackupPath("/w/a.qvl.qvl"), "/w/a.bak.bak");
    EXPECT_EQ(QuorvelRunner::BackupPath("/Data.qvl/Project"), "/Data.qvl/project");
    EXPECT_EQ(QuorvelRunner::BackupPath("relative.qvl"), "relative.bak");
}

TEST(ProjectFile, SavingMakesTheBackupOnce)
{
    TempDir dir;
    const std::string path = dir.File("Nightly.QVL");
    QuorvelRunner project;
    project.author = "first";
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_FALSE(PathExists(dir.File("nightly.bak")));

    project.author = "second";
    ASSERT_EQ(project.Save(path), 0);
    ASSERT_TRUE(std::filesystem::exists(dir.File("nightly.bak")));
    QuorvelRunner backup;
    backup.Load(dir.File("nightly.bak"));
    EXPECT_EQ(backup.author, "first");

    // With a backup in place, the project file is rewritten and the old backup kept.
    project.author = "third";
    ASSERT_EQ(project.Save(path), 0);
    backup.Load(dir.File("nightly.bak"));
    EXPECT_EQ(backup.author, "first");
    QuorvelRunner current;
    current.Load(path);
    EXPECT_EQ(current.author, "third");
}

TEST(ProjectFile, SavingInPlaceKeepsSurplusSectionsHarmless)
{
    TempDir dir;
    const std::string path = dir.File("project"); // no ".qvl": the backup would be the file itself
    QuorvelRunner project;
    project.AddEvent(Quorvel());
    project.AddEvent(Quorvel());
    project.AddEvent(Quorvel());
    ASSERT_EQ(project.Save(path), 0);
    project.DeleteEvent(0);
    project.DeleteEvent(0);
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_TRUE(CSysReg(path).HasSection("Item2"));
    QuorvelRunner loaded;
    loaded.Load(path);
    EXPECT_EQ(loaded.Count(), 1);
}

TEST(ProjectFile, SaveIntoMissingFolderFails)
{
    TempDir dir;
    QuorvelRunner project;
    EXPECT_EQ(project.Save(dir.File("no/such/folder/p.qvl")), -1);
}

TEST(ProjectList, AddGetDeleteClear)
{
    RecordingBox box;
    QuorvelRunner project;
    for (int i = 0; i < kMaxEvents; ++i) {
        Quorvel q;
        q.iExecs = i;
        ASSERT_EQ(project.AddEvent(q), 0);
    }
    EXPECT_EQ(project.AddEvent(Quorvel()), -1);
    EXPECT_EQ(project.Count(), 24);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0], "Error!|Maximum active events is 24.|16");

    EXPECT_EQ(project.GetEvent(-1), nullptr);
    EXPECT_EQ(project.GetEvent(24), nullptr);
    project.DeleteEvent(-1);
    project.DeleteEvent(24);
    EXPECT_EQ(project.Count(), 24);
    project.DeleteEvent(0);
    EXPECT_EQ(project.GetEvent(0)->iExecs, 1);

    EXPECT_EQ(project.WarnIfEmpty(), 0);
    project.author = "a";
    project.currentReportFile = "kept";
    project.Clear();
    EXPECT_EQ(project.Count(), 0);
    EXPECT_EQ(project.author, "");
    EXPECT_EQ(project.currentReportFile, "kept");
    EXPECT_EQ(project.WarnIfEmpty(), 1);
    EXPECT_EQ(box.shown.back(), "Warning!|Events list is empty.|16");
}

} // namespace
