// The main of the window's test programs: the tests' own state as in the other test programs, a
// preference store, and a QApplication on the offscreen platform, so that no display is needed.
#include "support/TestEnv.h"

#include "external/support/CSettings.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const TestState state;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    auto settings = std::make_unique<CSettings>();
    g_settings = settings.get();
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    g_settings = nullptr;
    return result;
}
