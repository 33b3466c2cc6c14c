// Replacing a file atomically: whatever a crash or a concurrent writer does, readers see the old
// or a new content whole, and temporary files do not pile up beside it.

#include "external/support/FileOps.h"
#include "support/TestEnv.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// Each writer writes contents of one letter; a mixed file would hold two.
bool Whole(const std::string& content, size_t size)
{
    return content.size() == size && content.find_first_not_of(content[0]) == std::string::npos;
}

TEST(WriteFileAtomically, WritersOfOneFileTakeTurnsAndReadersSeeWholeContents)
{
    constexpr size_t kSize = 64 * 1024;
    constexpr int kWriters = 4;
    constexpr int kWrites = 15;
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    ASSERT_EQ(WriteFileAtomically(path, std::string(kSize, '-'), -1, nullptr), 0);
    std::atomic<bool> writing { true };
    std::atomic<int> broken { 0 };
    std::thread reader([&] {
        while (writing)
            broken += Whole(ReadFile(path), kSize) ? 0 : 1;
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < kWrites; ++i)
                broken += WriteFileAtomically(path, std::string(kSize, static_cast<char>('a' + w)), -1, nullptr) != 0
                    ? 1
                    : 0;
        });
    }
    for (std::thread& t : writers)
        t.join();
    writing = false;
    reader.join();
    EXPECT_EQ(broken, 0);
    EXPECT_TRUE(Whole(ReadFile(path), kSize));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "only p.qvl";
}

} // namespace
