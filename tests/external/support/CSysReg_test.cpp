#include "external/support/CSysReg.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Found by fuzz_store: keys whose only unusual characters were quotes, tabs or line feeds were
// written without quotes, and the next load found the file broken and lost all of it. And a name
// that was not UTF-8 was written escaped as other characters, so the value could no longer be read
// under the name it was saved with.
TEST(CSysReg, AnyNameSurvivesTheFile)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[\"Author's\"]\n\"it's\" = \"kept\"\n[S.sub]\nx = [{ \"a'b\" = 1 }]\n");
    const std::vector<std::string> names
        = { "'", "a'b", "a\tb", "x\ny", "", "a b", "q\"\\", "\x01", "a.b", "[c]", "Caf\xE9", "Jos\xE9 M\xFCller" };
    {
        CSysReg store(path);
        for (size_t i = 0; i < names.size(); ++i)
            store.Save(names[i], names[i], static_cast<int>(i));
    }
    CSysReg store(path);
    ASSERT_TRUE(store.LastError().empty()) << store.LastError();
    EXPECT_TRUE(store.HasSection("Caf\xC3\xA9")) << "taken as Latin-1";
    for (size_t i = 0; i < names.size(); ++i) {
        int number = -1;
        EXPECT_EQ(store.Read(names[i], names[i], &number, -1), 0) << names[i];
        EXPECT_EQ(number, static_cast<int>(i));
    }
    std::string text;
    EXPECT_EQ(store.Read("Author's", "it's", &text, ""), 0) << "values of the old file are written back whole";
    EXPECT_EQ(text, "kept");
}

TEST(CSysReg, TypedValuesAndDefaults)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[S]\nhuge = 4294967296\nflag = true\n");
    {
        CSysReg store(path);
        store.Section("S");
        store.Save("number", -2147483647 - 1);
        store.Save("text", std::string("12"));
    }
    CSysReg store(path);
    store.Section("S");
    // A value of the wrong type, or an integer beyond 32 bits, reads as the default.
    for (const auto& [key, rc, expected] : { std::tuple("number", 0, -2147483647 - 1), std::tuple("text", -1, 7),
             std::tuple("huge", -1, 7), std::tuple("flag", -1, 7), std::tuple("missing", -1, 7) }) {
        int number = 0;
        EXPECT_EQ(store.Read(key, &number, 7), rc) << key;
        EXPECT_EQ(number, expected) << key;
    }
    std::string text;
    store.Read("number", &text, "def");
    EXPECT_EQ(text, "def");
    store.Read("Nowhere", "key", &text, "none");
    EXPECT_EQ(text, "none");
}

// A store is written only when changed and reports a failed write. (It writes through
// WriteFileAtomically, whose test sees that no temporary file stays beside it.)
TEST(CSysReg, WritesAtomicallyAndOnlyWhenChanged)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    {
        CSysReg store(path);
        store.Save("A", "k", 1);
    }
    const auto firstWrite = std::filesystem::last_write_time(path);
    {
        CSysReg untouched(path); // read only: the file stays as it is
        int v = 0;
        untouched.Read("A", "k", &v, 0);
    }
    EXPECT_EQ(std::filesystem::last_write_time(path), firstWrite);

    CSysReg lost(dir.File("missing-folder/p.qvl"));
    lost.Save("A", "k", 1);
    EXPECT_EQ(lost.Close(), -1);
    EXPECT_NE(lost.LastError().find("missing-folder"), std::string::npos);
}

} // namespace
