// Texts nested deeper than the parser can follow are refused at the first place that goes too deep;
// dots and brackets in strings, comments and values do not count.
#include "external/support/TomlDepth.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string_view>

namespace {

std::string Repeat(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

// The pieces appended one by one: chains of literal + string stop GCC 12's -O3 build on a false
// overlapping-copy warning.
std::string Cat(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

TEST(CheckTomlDepth, RefusesTheFirstPlaceThatIsTooDeep)
{
    const std::string tooDeep = "nested more than 128 levels deep (table headers, dotted keys, arrays and inline tables)";
    // 2 levels for a header part, 1 for a key part, an array or an inline table
    const auto dotted = [](int parts) { return Cat({ "k", Repeat(".k", parts - 1) }); };
    const struct {
        std::string text;
        int line; // 0: accepted
    } cases[] = {
        { Cat({ "[", dotted(32), "]\n", dotted(64), " = 1.5\n[[", dotted(64), "]]\n" }), 0 },
        { Cat({ "[", dotted(60), "]\nx = { ", dotted(4), " = [[{ a = 1.5 }]], b = [[1]] }\n" }), 0 },
        { Cat({ "[", dotted(60), "]\nx = { ", dotted(4), " = [[{ a = [1.5] }]], b = 1 }\n" }), 2 },
        { Cat({ "a = [", Repeat("[", 126), Repeat("]", 127), "\n" }), 0 },
        { Cat({ "a = [\n", Repeat("[", 127), "\n" }), 2 },
        { Cat({ "a = ", Repeat("{b = ", 128), "\n" }), 1 },
        { Cat({ "[S]\n\n[[", dotted(64), ".\"k.k\"]]\n" }), 3 },
        { Cat({ "[S]\n", dotted(126), " = 1\n", dotted(127), " = 1\n" }), 3 },
        { Cat({ "a = \"", Repeat(".[{", 100), "\"\nb = '''\n", Repeat(".[", 100), "\n'''\n# ", Repeat("[.", 100),
              "\nc = \"\"\"\\\n\"\"\"\"\n", dotted(129), " = 1\n" }),
            8 },
    };
    for (const auto& c : cases) {
        TomlDepthProblem problem;
        EXPECT_EQ(CheckTomlDepth(c.text, &problem), c.line == 0 ? 0 : -1) << c.text.substr(0, 60);
        EXPECT_EQ(problem.line, c.line) << c.text.substr(0, 60);
        EXPECT_EQ(problem.reason, c.line == 0 ? "" : tooDeep);
    }
}

} // namespace
