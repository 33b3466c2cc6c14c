// A process killed (SIGKILL) while it saves a project, many times over at random moments: the
// project file, or when the kill fell between making the backup and writing the new file, its
// backup, always loads whole, and what a killed save leaves beside them does not pile up.

#include "faults/FaultFixture.h"

#include "external/support/FileOps.h"

#include <csignal>
#include <filesystem>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 200;

class KilledSave : public FaultTest {
protected:
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

    // The files in the folder besides the project and its backup.
    size_t Leftovers() const
    {
        const auto files = std::distance(std::filesystem::directory_iterator(saves), {});
        return static_cast<size_t>(files) - PathExists(path) - PathExists(backup);
    }

    const std::string saves = dir.File("saves");
    const std::string scratch = dir.File("scratch");
    const std::string path = saves + "/project.qvl";
    const std::string backup = saves + "/project.bak";
    std::string expected;
    std::string firstSave; // the bytes of the file that the test saved itself
};

TEST_F(KilledSave, ProjectOrBackupAlwaysLoadsWholeAndLeftoversDoNotPileUp)
{
    const Quorvel texts = EveryField(0);
    project.reportFile = texts.SQL;
    project.logFile = texts.FileOrDir;
    project.summaryFile = texts.ActionSQL;
    project.author = texts.EventNote;
    project.description = texts.sLogItem;
    for (int i = 0; i < kMaxEvents; ++i)
        project.AddEvent(EveryField(i));
    std::filesystem::create_directory(saves);
    expected = Canonical(project);
    // How long one save of the big project takes here, to spread the kills over a few saves.
    const auto before = std::chrono::steady_clock::now();
    project.Save(path);
    const auto saveTime
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
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
        // Loads the project and saves it over and over, until it is killed.
        RunningQuorvel saver(std::vector<std::string> { SAVE_LOOP_BINARY, path }, {});
        ASSERT_TRUE(saver.WaitFor("loaded")) << "kill " << kill;
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        saver.Signal(SIGKILL);
        saver.Wait();

        const bool hasProject = PathExists(path);
        ASSERT_TRUE(hasProject || PathExists(backup)) << "kill " << kill << ": neither file is left";
        ASSERT_TRUE(LoadsWhole(hasProject ? path : backup)) << "kill " << kill;
        if (PathExists(backup)) {
            ASSERT_TRUE(LoadsWhole(backup)) << "kill " << kill;
        }
        if (!hasProject)
            std::filesystem::rename(backup, path); // what a user would do
        mostLeftovers = std::max(mostLeftovers, Leftovers());
    }
    // A killed save may leave its temporary file; the next one takes it over.
    EXPECT_LE(mostLeftovers, 1u);
    EXPECT_EQ(project.Save(path), 0);
    EXPECT_EQ(Leftovers(), 0u);
}

} // namespace
