#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/StrFormat.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string Reread(const std::string& path, const std::string& section, const std::string& key)
{
    CSysReg store(path);
    std::string value;
    store.Read(section, key, &value, "<missing>");
    return value;
}

TEST(CSysReg, TextsRoundTripExactly)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    const std::vector<std::string> texts = {
        "",
        "  leading and trailing blanks  ",
        "line one\nline two\r\nline three\r",
        "tab\there \"quoted\" 'single' \\backslash\\",
        "$VALUE$ and $DATE$",
        "Grüße, 東京, emoji \xF0\x9F\x98\x80",
        "'''triple''' \"\"\"quotes\"\"\"",
        std::string(100 * 1024, 'x') + "\nSELECT 1;",
        "control \x01\x1f chars",
    };
    // StrFormat, not "k" + std::to_string(i): GCC 12 at -O3 reports a false -Wrestrict on that.
    {
        CSysReg store(path);
        for (size_t i = 0; i < texts.size(); ++i)
            store.Save("Texts", StrFormat("k%zu", i), texts[i]);
    }
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(Reread(path, "Texts", StrFormat("k%zu", i)), texts[i]) << "text " << i;
}

// Found by fuzz_store: a name that was not UTF-8 was written escaped as other characters, so the
// value could no longer be read under the name it was saved with.
TEST(CSysReg, NamesThatAreNotUtf8ReadBackUnderTheSameName)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    {
        CSysReg store(path);
        store.Save("Caf\xE9", "Jos\xE9 M\xFCller", "text");
        store.Save("Caf\xE9", "n\xFC", 5);
    }
    CSysReg store(path);
    EXPECT_TRUE(store.LastError().empty()) << store.LastError();
    EXPECT_TRUE(store.HasSection("Caf\xE9"));
    EXPECT_TRUE(store.HasSection("Caf\xC3\xA9")) << "taken as Latin-1";
    std::string text;
    EXPECT_EQ(store.Read("Caf\xE9", "Jos\xE9 M\xFCller", &text, ""), 0);
    EXPECT_EQ(text, "text");
    int number = 0;
    EXPECT_EQ(store.Read("Caf\xE9", "n\xFC", &number, 0), 0);
    EXPECT_EQ(number, 5);
}

// Found by fuzz_store: keys whose only unusual characters were quotes, tabs or line feeds were
// written without quotes, and the next load found the file broken and lost all of it.
TEST(CSysReg, AnyNameSurvivesTheFile)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[\"Author's\"]\n\"it's\" = \"kept\"\n[S.sub]\nx = [{ \"a'b\" = 1 }]\n");
    const std::vector<std::string> names = { "'", "a'b", "a\tb", "x\ny", "", "a b", "q\"\\", "\x01", "a.b", "[c]" };
    {
        CSysReg store(path);
        for (const std::string& name : names)
            store.Save(name, name, "v:" + name);
    }
    CSysReg store(path);
    ASSERT_TRUE(store.LastError().empty()) << store.LastError();
    for (const std::string& name : names) {
        std::string text;
        EXPECT_EQ(store.Read(name, name, &text, ""), 0) << name;
        EXPECT_EQ(text, "v:" + name);
    }
    std::string text;
    EXPECT_EQ(store.Read("Author's", "it's", &text, ""), 0) << "values of the old file are written back whole";
    EXPECT_EQ(text, "kept");
}

TEST(CSysReg, TypedValuesAndDefaults)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    {
        CSysReg store(path);
        store.Section("S");
        store.Save("number", -2147483647 - 1);
        store.Save("text", std::string("12"));
    }
    WriteFile(dir.File("big.qvl"), "[S]\nhuge = 4294967296\nflag = true\n");
    CSysReg store(path);
    store.Section("S");
    int number = 0;
    EXPECT_EQ(store.Read("number", &number, 7), 0);
    EXPECT_EQ(number, -2147483647 - 1);
    // A value of the wrong type reads as the default.
    EXPECT_EQ(store.Read("text", &number, 7), -1);
    EXPECT_EQ(number, 7);
    std::string text;
    store.Read("number", &text, "def");
    EXPECT_EQ(text, "def");
    store.Read("Nowhere", "key", &text, "none");
    EXPECT_EQ(text, "none");

    CSysReg big(dir.File("big.qvl"));
    big.Read("S", "huge", &number, 3);
    EXPECT_EQ(number, 3) << "an integer beyond 32 bits reads as the default";
    big.Read("S", "flag", &number, 4);
    EXPECT_EQ(number, 4);
}

TEST(CSysReg, UnreadableFilesLoadAsEmptyAndAreLogged)
{
    TempDir dir;
    const std::vector<std::string> damaged = {
        "[Common\nItems = 3",                 // truncated header
        std::string("\x00\x01\x02garbage\xff\xfe", 12), // binary noise
        "[Common]\nReport = \"unterminated\n", // truncated string
        "[Common]\nItems = 1\n[Common]\n",     // duplicate table
    };
    for (const std::string& content : damaged) {
        const std::string path = dir.File("bad.qvl");
        WriteFile(path, content);
        CSysReg store(path);
        int items = -1;
        store.Read("Common", "Items", &items, 0);
        EXPECT_EQ(items, 0);
        EXPECT_FALSE(store.LastError().empty());
    }
    EXPECT_NE(CLog::GetLastRows().find("does not parse"), std::string::npos);
}

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
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left beside the store";
}

TEST(CSysReg, WriteFailureKeepsOldFileAndReportsIt)
{
    TempDir dir;
    CSysReg store(dir.File("missing-folder/p.qvl"));
    store.Save("A", "k", 1);
    EXPECT_EQ(store.Close(), -1);
    EXPECT_NE(store.LastError().find("missing-folder"), std::string::npos);
}

TEST(CSysReg, PrivateStoreIsReadableByOwnerOnly)
{
    TempDir dir;
    const std::string path = dir.File("secret.qvl");
    {
        CSysReg store(path);
        store.Save("A", "password", std::string("pw"));
        store.MarkPrivate();
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(CSysReg, SectionsAreListed)
{
    TempDir dir;
    WriteFile(dir.File("p.qvl"), "[Common]\nItems = 1\n[Item0]\ntype = 1\n");
    CSysReg store(dir.File("p.qvl"));
    EXPECT_TRUE(store.HasSection("Item0"));
    EXPECT_FALSE(store.HasSection("Item1"));
    EXPECT_EQ(store.Sections().size(), 2u);
}

} // namespace
