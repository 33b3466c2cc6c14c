#include "external/counters/UnavailableCounterSource.h"

#include "external/counters/CounterQuery.h"
#include "external/support/CLog.h"

UnavailableCounterSource::UnavailableCounterSource(std::string why)
    : why_(std::move(why))
{
}

uint32_t UnavailableCounterSource::Check(const ResolvedCounter&)
{
    return 0;
}

uint32_t UnavailableCounterSource::Read(const ResolvedCounter&, RawSample* sample)
{
    *sample = RawSample {};
    if (!logged_) {
        logged_ = true;
        CLog::Bug(why_, "RemoteCounterSource", __FILE__, __LINE__);
    }
    return PDH_CSTATUS_NO_MACHINE;
}
