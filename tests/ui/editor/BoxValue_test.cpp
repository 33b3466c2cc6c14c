#include "ui/editor/BoxValue.h"

#include <gtest/gtest.h>

namespace {

TEST(BoxValue, AmountsAndComparedValuesFollowTheirRules)
{
    struct Case {
        const char* text;
        int amount; // a box of a delay, interval or number of executions
        int compared; // a box of a condition's value
    };
    const Case cases[] = { { "", 0, 0 }, { "abc", 0, 0 }, { "42", 42, 42 }, { "12x5", 12, 12 }, { "-17", 0, -17 },
        { "+8", 0, 8 }, { "2147483647", 2147483647, 2147483647 }, { "2147483648", 2147483647, 2147483647 },
        { "4294967295", 2147483647, 2147483647 }, { "99999999999999999999999", 2147483647, 2147483647 },
        { "-2147483648", 0, -2147483648 }, { "-99999999999", 0, -2147483648 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(UnsignedBoxValue(QString::fromUtf8(c.text)), c.amount);
        EXPECT_EQ(SignedBoxValue(QString::fromUtf8(c.text)), c.compared);
    }
    EXPECT_EQ(UnsignedBoxText(-1), QStringLiteral("4294967295"));
    EXPECT_EQ(UnsignedBoxText(30), QStringLiteral("30"));
}

} // namespace
