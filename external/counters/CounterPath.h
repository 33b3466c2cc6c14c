#pragma once

#include <cstdint>
#include <string>

// A counter path split into its parts: [\\host[:port]]\Object[(instance)]\Counter
struct CounterPath {
    std::string host; // empty: the local machine; an IPv6 address keeps its brackets
    uint16_t port = 9100;
    std::string object;
    std::string instance;
    bool hasInstance = false;
    std::string counter;

    bool IsLocal() const { return host.empty(); }
};

// False when `fullPath` is not of that shape (no object or counter, an empty or malformed host,
// a port outside 1..65535).
bool ParseCounterPath(const std::string& fullPath, CounterPath* path);
