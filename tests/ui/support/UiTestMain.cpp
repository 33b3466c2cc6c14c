// The main of the window's test programs, on the offscreen platform, so that no display is needed.
#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RunWithApplication(argc, argv, [] { return RUN_ALL_TESTS(); });
}
