#pragma once

#include "external/counters/CounterQuery.h"

#include <gtest/gtest.h>
#include <string>

// The outcome of one collection and reading.
struct Reading {
    uint32_t collect = 0;
    uint32_t cstatus = 0;
    int32_t value = 0;
};

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
