// Which check values the charts read as numbers: the plain counts and sizes that are read without
// a parse, and every other text the parse decides.
#include "model/RunSeries.h"

#include <gtest/gtest.h>

namespace {

TEST(RunSeries, NumberOfEveryKindOfValue)
{
    struct Case {
        const char* text;
        std::optional<double> number;
    };
    for (const Case& c : { Case { "0", 0.0 }, Case { "42", 42.0 }, Case { "999999999999999", 999999999999999.0 },
             Case { "1234567890123456", 1234567890123456.0 }, // past the digits read directly
             Case { "-5", -5.0 }, Case { "+7", 7.0 }, Case { " 12\r\n", 12.0 }, Case { "2.5", 2.5 },
             Case { "1e3", 1000.0 }, Case { "", std::nullopt }, Case { "  ", std::nullopt },
             Case { "N/A", std::nullopt }, Case { "12a", std::nullopt }, Case { "inf", std::nullopt },
             Case { "1e999", std::nullopt } })
        EXPECT_EQ(RunSeries::Number(c.text), c.number) << '"' << c.text << '"';
}

} // namespace
