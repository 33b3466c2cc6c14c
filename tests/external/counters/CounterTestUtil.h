#pragma once

#include "external/counters/CounterQuery.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

// The outcome of one collection and reading.
struct Reading {
    uint32_t collect = 0;
    uint32_t cstatus = 0;
    int32_t value = 0;
    bool operator==(const Reading&) const = default;
};

inline void PrintTo(const Reading& r, std::ostream* out)
{
    *out << std::hex << "collect 0x" << r.collect << ", cstatus 0x" << r.cstatus << std::dec << ", value " << r.value;
}

inline Reading CollectAndRead(CounterQuery& query)
{
    Reading reading;
    reading.collect = query.Collect();
    EXPECT_EQ(query.GetFormattedValue(&reading.value, &reading.cstatus), 0u);
    return reading;
}

inline std::unique_ptr<CounterQuery> OpenWith(const std::string& fullPath)
{
    std::unique_ptr<CounterQuery> query;
    EXPECT_EQ(CounterQuery::Open(&query), 0u);
    EXPECT_EQ(query->AddCounter(fullPath), 0u) << fullPath;
    return query;
}

struct Plausible {
    const char* path;
    int32_t low, high;
    bool rate = false;
};

// Each counter of `machine` ("" for this one) gives a good value between low and high at once, or,
// for a rate, from the second sample on.
inline void ExpectPlausible(const std::string& machine, const std::vector<Plausible>& counters)
{
    for (const Plausible& counter : counters) {
        SCOPED_TRACE(counter.path);
        const std::unique_ptr<CounterQuery> query = OpenWith(CounterFullPath(machine, counter.path));
        if (counter.rate) {
            EXPECT_EQ(CollectAndRead(*query).cstatus, PDH_INVALID_DATA) << "the first sample of a rate has no value";
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        }
        const Reading reading = CollectAndRead(*query);
        EXPECT_EQ(std::pair(reading.collect, reading.cstatus), std::pair(0u, 0u));
        EXPECT_GE(reading.value, counter.low);
        EXPECT_LE(reading.value, counter.high);
    }
}
