#include "external/counters/MetricsParser.h"
#include "external/support/StrFormat.h"

#include <gtest/gtest.h>

namespace {

// Each sample as "name{key=value,...} value [timestamp]", the value as "%.17g" prints it.
std::vector<std::string> ParseOk(const std::string& text)
{
    MetricsParser parser;
    EXPECT_TRUE(parser.Parse(text)) << parser.Error() << "\n" << text;
    std::vector<std::string> shown;
    for (const MetricSample& sample : parser.Samples()) {
        std::string line = sample.name + "{";
        for (const auto& [key, value] : sample.labels)
            line += key + "=" + value + ",";
        line += StrFormat("} %.17g", sample.value);
        if (sample.timestampMs)
            line += StrFormat(" %lld", static_cast<long long>(*sample.timestampMs));
        shown.push_back(line);
    }
    return shown;
}

TEST(MetricsParser, ReadsLabelsWithEscapes)
{
    EXPECT_EQ(
        ParseOk("node_filesystem_avail_bytes{device=\"/dev/vda\",fstype=\"ext4\",mountpoint=\"/\"} 8.5703634944e+10\n"
                "odd{path=\"C:\\\\dir\",quote=\"say \\\"hi\\\"\",lines=\"a\\nb\",} 1\n"
                "spaced { a = \"1\" , b=\"}{,=\" } 2\n"
                "empty{} 3\n"),
        std::vector<std::string>({ "node_filesystem_avail_bytes{device=/dev/vda,fstype=ext4,mountpoint=/,} 85703634944",
            "odd{path=C:\\dir,quote=say \"hi\",lines=a\nb,} 1", "spaced{a=1,b=}{,=,} 2", "empty{} 3" }));
}

// Comments, HELP and TYPE lines and blank lines give no samples.
TEST(MetricsParser, ReadsSpecialValuesExponentsAndTimestampsAndSkipsComments)
{
    EXPECT_EQ(ParseOk("# HELP a Text with \\\\ and \\n escapes.\n"
                      "# TYPE a counter\n"
                      "#just a comment with \"odd\" \\q things\n"
                      "\n   \n"
                      "# EOF is not special here\n"
                      "a NaN\nb +Inf\nc -Inf\nd 1.5E-3\ne -0\nf 12 1700000000000\n"
                      "g .5 -12\nh 7\t\t\n"),
        std::vector<std::string>({ "a{} nan", "b{} inf", "c{} -inf", "d{} 0.0015", "e{} -0", "f{} 12 1700000000000",
            "g{} 0.5 -12", "h{} 7" }));
    EXPECT_EQ(ParseOk(""), std::vector<std::string> {});
}

TEST(MetricsParser, KeepsOnlyWhatTheFilterWantsButChecksEverything)
{
    MetricsParser parser;
    const auto onlyB = [](std::string_view name) { return name == "b"; };
    ASSERT_TRUE(parser.Parse("a 1\nb 2\nc 3\n", onlyB));
    ASSERT_EQ(parser.Samples().size(), 1u);
    EXPECT_EQ(parser.Samples()[0].value, 2);
    EXPECT_FALSE(parser.Parse("a 1\nb 2\nc x\n", onlyB));
    EXPECT_EQ(parser.Error(), "line 3: invalid value");
}

// Also too many labels and too long an input.
TEST(MetricsParser, RefusesMalformedBodiesAndLimitsLabelsAndInput)
{
    std::string many = "a{";
    // StrFormat, not "l" + std::to_string(i): GCC 12 at -O3 reports a false -Wrestrict on that.
    for (size_t i = 0; i <= MetricsParser::kMaxLabels; ++i)
        many += StrFormat("l%zu=\"v\",", i);
    for (const std::string& bad :
        std::vector<std::string> { many + "} 1\n", std::string(MetricsParser::kMaxInput + 1, '\n'),
            "a 1", // no final line feed: a page cut short
            "a\n", "a  \n", "1a 1\n", "a-b 1\n", "a{} \n", "a{}1\n", "a 1 2 3\n", "a one\n", "a 0x10\n", "a 1e999\n",
            "a 1_000\n", "a +NaN\n", "a nan(1)\n", "a 1.\t1.5\n",
            "a 1\r\n", // no carriage returns inside a line
            "a{b=\"1\"\n", "a{b=1} 1\n", "a{b=\"1\" c=\"2\"} 1\n", "a{b=\"\\x\"} 1\n", "a{b=\"1\",b=\"2\"} 1\n",
            "a{1b=\"1\"} 1\n", "a{,} 1\n", "a{b=\"1\"}} 1\n", "a{b=\"1\\\"} 1\n", "# HELP\n", "# HELP 1a text\n",
            "# HELP a bad \\t escape\n", "# HELP a x\n# HELP a y\n", "# TYPE a\n", "# TYPE a gauge extra\n",
            "# TYPE a number\n", "# TYPE a gauge\n# TYPE a gauge\n", "a 1 12.5\n", "a 1 99999999999999999999\n" }) {
        MetricsParser parser;
        EXPECT_FALSE(parser.Parse(bad)) << bad.substr(0, 80);
        EXPECT_FALSE(parser.Error().empty()) << bad.substr(0, 80);
    }
}

} // namespace
