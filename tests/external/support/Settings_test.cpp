#include "external/support/CSettings.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

TEST(CSettings, SavedValuesComeBackAtTheNextStart)
{
    TempDir dir;
    const std::string path = dir.File("sub/settings.toml");
    {
        CSettings settings(path);
        settings.setInt("FetchAll", 1);
        settings.setStr("MacroDateFmt", "DD-MM-YYYY");
        settings.setStr("LastFile", "/home/u/Nightly \"x\".qvl");
        settings.setInt("Unregistered", 42);
        ASSERT_EQ(settings.SaveData(), 0);
    }
    CSettings settings(path);
    EXPECT_EQ(std::tuple(settings.getInt("FetchAll"), settings.getStr("MacroDateFmt"), settings.getStr("LastFile"),
                  settings.getInt("Unregistered"), settings.getInt("LoadLastFile")),
        std::tuple(1, "DD-MM-YYYY", "/home/u/Nightly \"x\".qvl", 42, 1));
    EXPECT_EQ(CSettings().Path(), TestStateDir() + "/config/quorvel/settings.toml") << "follows XDG_CONFIG_HOME";
}

TEST(CSettings, ReadersOnOtherThreadsSeeWholeValues)
{
    TempDir dir;
    CSettings settings(dir.File("settings.toml"));
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            settings.setStr("MacroTimeFmt", i % 2 ? "HHMM" : "HHMMSS");
            settings.setInt("LogLevel", i % 2);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const std::string format = settings.getStr("MacroTimeFmt");
        ASSERT_TRUE(format == "" || format == "HHMM" || format == "HHMMSS");
        ASSERT_GE(settings.getInt("LogLevel"), 0);
    }
    writer.join();
}

} // namespace
