#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/LogFile.h"
#include "external/support/StrFormat.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

// Enough entries that the two writers' runs overlap.
constexpr int kPerWriter = 2000;
const std::string kPadding(80, 'x');

std::string Entry(int writer, int n)
{
    return StrFormat("writer %d entry %04d %s\n", writer, n, kPadding.c_str());
}

TEST(LogFile, TwoProcessesAcrossTheLimitKeepEveryEntryOnceAndWhole)
{
    TempDir dir;
    const std::string path = dir.File("state/quorvel.log");
    // Together they write 4/3 of the limit: exactly one rotation, so nothing is dropped by design.
    const off_t limit = 2 * kPerWriter * static_cast<off_t>(Entry(0, 0).size()) * 3 / 4;
    RunInProcesses(2, [&](int w) {
        int failed = 0;
        for (int n = 0; n < kPerWriter; ++n)
            failed |= AppendLogEntry(path, Entry(w, n), limit);
        return failed;
    });

    std::vector<std::string> expected;
    std::vector<std::string> lines;
    for (int n = 0; n < 2 * kPerWriter; ++n)
        expected.push_back(Entry(n % 2, n / 2));
    std::istringstream in(ReadFile(RotatedLogPath(path)) + ReadFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    std::sort(expected.begin(), expected.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_TRUE(lines == expected) << "a split, merged, doubled or lost entry";
    const auto rotated = std::filesystem::file_size(RotatedLogPath(path));
    EXPECT_GT(rotated, static_cast<uintmax_t>(limit));
    EXPECT_LE(rotated, static_cast<uintmax_t>(limit) + 2 * Entry(0, 0).size());
    EXPECT_GT(std::filesystem::file_size(path), 0u);
}

// The program log rotates at its preference, replacing the older file; 0 means no limit.
TEST(LogFile, ProgramLogFollowsThePreferenceRotatesAndTruncates)
{
    TempDir dir;
    const std::string path = dir.File("quorvel.log");
    WriteFile(RotatedLogPath(path), "older\n");
    for (int n = 0; n < 20; ++n)
        ASSERT_EQ(AppendLogEntry(path, Entry(0, n), 0), 0);
    EXPECT_EQ(ReadFile(RotatedLogPath(path)), "older\n");
    EXPECT_EQ(ReadFile(path).size(), 20 * Entry(0, 0).size());

    CSettings settings(dir.File("settings.toml"));
    settings.setInt("LogMaxKB", 1);
    g_settings = &settings;
    CLog::SetPath(path);
    for (int n = 0; n < 20; ++n)
        CLog::Bug(Entry(0, n), "LogFile_test");
    EXPECT_EQ(ReadFile(RotatedLogPath(path)).find("older"), std::string::npos);
    EXPECT_GT(std::filesystem::file_size(RotatedLogPath(path)), 1024u);
    EXPECT_LT(std::filesystem::file_size(path), 1024u);
    EXPECT_EQ(CLog::Truncate(), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    g_settings = nullptr;
    CLog::SetPath(dir.File("missing/quorvel.log"));
    EXPECT_EQ(CLog::Truncate(), 0);
    CLog::SetPath(TestStateDir() + "/quorvel.log");
}

} // namespace
