#include "model/ListenAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(ListenAddress, ParsesNumericAddressesAndTellsLoopbackFromTheRest)
{
    const struct {
        const char* text;
        bool valid;
        const char* shown; // Text() of the parsed address
        bool loopback;
    } cases[] = {
        { "8088", true, "127.0.0.1:8088", true },
        { ":8088", true, "127.0.0.1:8088", true },
        { "localhost:8088", true, "127.0.0.1:8088", true },
        { "127.0.0.2:1", true, "127.0.0.2:1", true },
        { "127.255.0.9:65535", true, "127.255.0.9:65535", true },
        { "[::1]:8088", true, "[::1]:8088", true },
        { "0.0.0.0:8088", true, "0.0.0.0:8088", false },
        { "192.168.1.5:80", true, "192.168.1.5:80", false },
        { "128.0.0.1:80", true, "128.0.0.1:80", false },
        { "[::]:8088", true, "[::]:8088", false },
        { "[::ffff:127.0.0.1]:8088", true, "[::ffff:127.0.0.1]:8088", false },
        { "", false, "", false },
        { "127.0.0.1", false, "", false },
        { "127.0.0.1:0", false, "", false },
        { "127.0.0.1:65536", false, "", false },
        { "127.0.0.1:80x", false, "", false },
        { "example.org:80", false, "", false },
        { "[::1]8088", false, "", false },
        { "::1:8088", true, "[::1]:8088", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ListenAddress address;
        std::string error;
        ASSERT_EQ(ListenAddress::Parse(c.text, &address, &error), c.valid ? 0 : -1);
        if (!c.valid) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(address.Text(), c.shown);
        EXPECT_EQ(address.Loopback(), c.loopback);
    }
}

} // namespace
