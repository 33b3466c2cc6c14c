#include "support/TestEnv.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const TestState state;
    return RUN_ALL_TESTS();
}
