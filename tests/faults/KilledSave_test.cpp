// A process killed (SIGKILL) while it saves a project, many times over at random moments: the
// project file, or when the kill fell between making the backup and writing the new file, its
// backup, always loads whole, and what a killed save leaves beside them does not pile up.

#include "faults/FaultFixture.h"

#include "engine/UniqueFd.h"
#include "external/support/FileOps.h"
#include "external/support/StrFormat.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 200;

// Every text key of an event holds something that a damaged file could not fake: a line break,
// a tab, quotes, non-ASCII, and enough of it that the file is large and a save takes a while.
std::string Text(const std::string& key, int event)
{
    std::string text = StrFormat("%s of event %d:\n\t\"quoted\" 'single' \\ Grüße ✓ ", key.c_str(), event);
    for (int i = 0; i < 40; ++i)
        text += StrFormat("%s-%d-%d ", key.c_str(), event, i);
    return text + " ";
}

Quorvel BigEvent(int i)
{
    Quorvel e;
    e.EventNote = Text("note", i);
    e.SQL = Text("SQL", i);
    e.FileOrDir = Text("path", i);
    e.ActionSQL = Text("action SQL", i);
    e.sProgram = Text("program", i);
    e.sLogItem = Text("log item", i);
    e.PerfCounter = Text("counter", i);
    e.Machine = Text("machine", i);
    e.tmStartAt = StrFormat("%02d:%02d:00", i % 24, i);
    e.type = i % 3;
    e.cond = i % 6;
    e.action = i % 4;
    e.delayType = i % 3;
    e.iterType = i % 3;
    e.intType = i % 2;
    e.iDelay = 1000 + i;
    e.iInterval = 2000 + i;
    e.iExecs = 3000 + i;
    e.rowCheckValue = -i;
    e.resCheckValue = 1 << i % 31;
    e.enabled = i % 2;
    e.checkConn.type = DS_POSTGRES;
    e.checkConn.target = Text("check target", i);
    e.checkConn.user = Text("check user", i);
    e.actionConn.type = DS_ODBC;
    e.actionConn.target = Text("action target", i);
    return e;
}

// Starts save_loop on a project and kills it; the pid is reaped with the object.
class SaveLoop {
public:
    explicit SaveLoop(const std::string& project)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        out_ = UniqueFd(out[0]);
        const UniqueFd write(out[1]);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(write.Get(), 1);
            ::execl(SAVE_LOOP_BINARY, SAVE_LOOP_BINARY, project.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~SaveLoop() { Kill(); }
    SaveLoop(const SaveLoop&) = delete;
    SaveLoop& operator=(const SaveLoop&) = delete;

    // True once the project is loaded and the saves begin.
    bool Loaded()
    {
        char word[7] = {};
        return ::read(out_.Get(), word, 6) == 6 && std::string(word) == "loaded";
    }
    void Kill()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    UniqueFd out_;
};

class KilledSave : public FaultTest {
protected:
    KilledSave()
    {
        project.reportFile = Text("report", 0);
        project.logFile = Text("log", 0);
        project.summaryFile = Text("summary", 0);
        project.author = Text("author", 0);
        project.description = Text("description", 0);
        for (int i = 0; i < kMaxEvents; ++i)
            project.AddEvent(BigEvent(i));
        std::filesystem::create_directory(saves);
        std::filesystem::create_directory(scratch);
        expected = Canonical(project);
    }

    // The project as its file holds it: saved anew by this process to a fresh name, so that two
    // projects with equal content give equal bytes.
    std::string Canonical(QuorvelRunner& runner)
    {
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directory(scratch);
        runner.Save(scratch + "/canonical.qvl");
        return ReadFile(scratch + "/canonical.qvl");
    }

    // The file loads with every event and property as they were saved. A file of the same bytes
    // as the first save needs no loading (and no saving anew, which costs a disk flush).
    bool LoadsWhole(const std::string& path)
    {
        if (ReadFile(path) == firstSave)
            return true;
        QuorvelRunner loaded;
        loaded.Load(path);
        return loaded.Count() == kMaxEvents && Canonical(loaded) == expected;
    }

    // The names in the folder besides the project and its backup.
    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(saves)) {
            const std::string name = entry.path().filename().string();
            if (name != "project.qvl" && name != "project.bak")
                names.push_back(name);
        }
        return names;
    }

    const std::string saves = dir.File("saves");
    const std::string scratch = dir.File("scratch");
    const std::string path = saves + "/project.qvl";
    const std::string backup = saves + "/project.bak";
    std::string expected;
    std::string firstSave; // the bytes of the file that the test saved itself
};

// How long one save of the big project takes here, to spread the kills over a few saves.
std::chrono::microseconds TimeOneSave(QuorvelRunner& project, const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    project.Save(path);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

TEST_F(KilledSave, ProjectOrBackupAlwaysLoadsWholeAndLeftoversDoNotPileUp)
{
    const std::chrono::microseconds saveTime = TimeOneSave(project, path);
    ASSERT_TRUE(LoadsWhole(path));
    firstSave = ReadFile(path);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> moment(0, 3 * saveTime.count());
    size_t mostLeftovers = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        // Every other time without a backup, so that saving moves the old file aside first and
        // the kill may fall between that and writing the new one.
        if (kill % 2 == 0)
            std::filesystem::remove(backup);
        SaveLoop saver(path);
        ASSERT_TRUE(saver.Loaded()) << "kill " << kill;
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        saver.Kill();

        const bool hasProject = PathExists(path);
        ASSERT_TRUE(hasProject || PathExists(backup)) << "kill " << kill << ": neither file is left";
        ASSERT_TRUE(LoadsWhole(hasProject ? path : backup)) << "kill " << kill;
        if (PathExists(backup)) {
            ASSERT_TRUE(LoadsWhole(backup)) << "kill " << kill;
        }
        if (!hasProject)
            std::filesystem::rename(backup, path); // what a user would do
        mostLeftovers = std::max(mostLeftovers, Leftovers().size());
    }
    // A killed save may leave its temporary file; the next one takes it over.
    EXPECT_LE(mostLeftovers, 1u);
    EXPECT_EQ(project.Save(path), 0);
    EXPECT_EQ(Leftovers(), std::vector<std::string> {});
}

} // namespace
