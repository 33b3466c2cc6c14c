#include "engine/JsonWriter.h"
#include "engine/StatusSnapshot.h"

#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

// The writer's text is the library's dump(2) of the same document, byte for byte. (Nesting is
// compared so in the status snapshot's test, on a whole snapshot.)
TEST(JsonWriter, WritesWhatTheLibraryDumps)
{
    struct Row {
        const char* what;
        std::function<void(JsonWriter&)> write;
        Json same;
    };
    const std::string notUtf8 = "bad \xff\xfe byte";
    const Row rows[] = {
        { "empty object", [](JsonWriter& w) { w.BeginObject(); w.EndObject(); }, Json::object() },
        { "empty array", [](JsonWriter& w) { w.BeginArray(); w.EndArray(); }, Json::array() },
        { "scalars",
            [&](JsonWriter& w) {
                w.BeginArray();
                w.Null();
                w.Bool(true);
                w.Int(-42);
                w.Int(INT64_MAX);
                w.Double(0.1);
                w.Double(2.0);
                w.Double(1234567.125);
                w.EndArray();
            },
            Json::array({ nullptr, true, -42, INT64_MAX, 0.1, 2.0, 1234567.125 }) },
        { "strings",
            [&](JsonWriter& w) {
                w.BeginArray();
                for (const char* s : { "", "plain", "quote \" and \\", "tab\tline\nbell\x07", "é ü 漢", "del\x7f" })
                    w.String(s);
                w.String(notUtf8);
                w.EndArray();
            },
            Json::array({ "", "plain", "quote \" and \\", "tab\tline\nbell\x07", "é ü 漢", "del\x7f", notUtf8 }) },
    };
    for (const Row& row : rows) {
        std::string text;
        JsonWriter writer(text);
        row.write(writer);
        EXPECT_EQ(text, row.same.dump(2, ' ', false, Json::error_handler_t::replace)) << row.what;
    }
}

TEST(UtcText, AgreesWithTheLibrary)
{
    for (const int64_t ms : { int64_t { 0 }, int64_t { 999 }, int64_t { 951782400000 } /* 2000-02-29 */,
             int64_t { 1709164799123 } /* 2024-02-28 23:59:59 */, int64_t { 1709251200007 } /* 2024-03-01 */,
             int64_t { 1798761599999 } /* 2026-12-31 */, int64_t { 4107542400000 } /* 2100-03-01 */,
             int64_t { 253402300799999 } /* 9999-12-31 */ }) {
        const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
        std::tm tm {};
        gmtime_r(&seconds, &tm);
        char expected[40];
        const size_t size = std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &tm);
        std::snprintf(expected + size, sizeof expected - size, ".%03dZ", static_cast<int>(ms % 1000));
        EXPECT_EQ(UtcText(ms), expected) << ms;
    }
}

} // namespace
