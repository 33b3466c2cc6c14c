#pragma once

#include "external/counters/CounterSource.h"

// The counters of this machine, read from /proc and from statvfs at every collection.
class LocalCounterSource : public CounterSource {
public:
    // Reads once, so that a processor, mount point or interface that does not exist fails at add.
    uint32_t Check(const ResolvedCounter& counter) override;
    uint32_t Read(const ResolvedCounter& counter, RawSample* sample) override;
};
