#pragma once

#include <cstdint>
#include <string>

// Where a project's status page listens: "host:port", "[v6 address]:port", ":port" or "port".
// Only numeric addresses (and "localhost"), so that reading a project never waits for a name
// server; without a host the page binds the loopback address only.
struct ListenAddress {
    std::string host = "127.0.0.1"; // numeric, without brackets
    uint16_t port = 0;
    bool ipv6 = false;

    // 0, or -1 with the reason in `error`.
    static int Parse(const std::string& text, ListenAddress* address, std::string* error);
    // Only this machine can reach it (127.0.0.0/8 or ::1): no credentials needed.
    bool Loopback() const;
    // As a browser's address bar wants it: "127.0.0.1:8080", "[::1]:8080".
    std::string Text() const;
};
