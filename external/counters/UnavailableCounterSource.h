#pragma once

#include "external/counters/CounterSource.h"

#include <string>

// The counters of a remote machine when the module that reads them cannot be loaded: every reading
// fails as an unreachable machine would, and the reason goes to the program log once.
class UnavailableCounterSource final : public CounterSource {
public:
    explicit UnavailableCounterSource(std::string why);

    // Only the names are checked at add, as for a machine that can be read.
    uint32_t Check(const ResolvedCounter& counter) override;
    uint32_t Read(const ResolvedCounter& counter, RawSample* sample) override;

private:
    std::string why_;
    bool logged_ = false;
};
