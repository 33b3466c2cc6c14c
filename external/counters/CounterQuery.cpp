#include "external/counters/CounterQuery.h"

#include "external/counters/CounterCatalog.h"
#include "external/counters/CounterPath.h"
#include "external/counters/LocalCounterSource.h"
#include "external/counters/RemoteCounterModule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::unique_ptr<CounterSource> MakeSource(const CounterPath& path, const std::atomic<bool>& cancelled)
{
    if (path.IsLocal())
        return std::make_unique<LocalCounterSource>();
    return NewRemoteCounterSource(path.host, path.port, cancelled);
}

std::optional<double> Ratio(double numerator, double denominator, double scale)
{
    if (!(denominator > 0))
        return std::nullopt;
    const double value = scale * numerator / denominator;
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

int32_t ToInt32(double value)
{
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::llround(std::clamp(value, low, high)));
}

} // namespace

std::string CounterFullPath(const std::string& machine, const std::string& perfCounter)
{
    const bool addBackslashes = machine.size() > 2 && machine.compare(0, 2, "\\\\") != 0;
    return (addBackslashes ? "\\\\" + machine : machine) + perfCounter;
}

uint32_t CounterQuery::Open(std::unique_ptr<CounterQuery>* query)
{
    if (query == nullptr)
        return PDH_INVALID_ARGUMENT;
    query->reset(new CounterQuery());
    return 0;
}

uint32_t CounterQuery::AddCounter(const std::string& fullPath)
{
    if (source_)
        return PDH_INVALID_ARGUMENT;
    CounterPath path;
    if (!ParseCounterPath(fullPath, &path))
        return PDH_INVALID_ARGUMENT;
    ResolvedCounter counter;
    if (const uint32_t status = FindCounter(path, &counter); status != 0)
        return status;
    std::unique_ptr<CounterSource> source = MakeSource(path, cancelled_);
    if (const uint32_t status = source->Check(counter); status != 0)
        return status;
    source_ = std::move(source);
    counter_ = std::move(counter);
    return 0;
}

uint32_t CounterQuery::Collect()
{
    if (!source_)
        return PDH_INVALID_HANDLE;
    RawSample sample;
    const uint32_t status = source_->Read(counter_, &sample);
    lastFailed_ = status != 0;
    if (lastFailed_)
        return status;
    before_ = latest_;
    latest_ = sample;
    return 0;
}

uint32_t CounterQuery::GetFormattedValue(int32_t* value, uint32_t* cstatus)
{
    if (value == nullptr || cstatus == nullptr)
        return PDH_INVALID_ARGUMENT;
    if (!source_)
        return PDH_INVALID_HANDLE;
    const std::optional<double> current = Value();
    *value = current ? ToInt32(*current) : 0;
    *cstatus = current ? 0 : PDH_INVALID_DATA;
    return 0;
}

std::optional<double> CounterQuery::Value() const
{
    if (lastFailed_ || !latest_)
        return std::nullopt;
    if (!counter_.isRate)
        return Ratio(latest_->numerator, latest_->denominator, counter_.scale);
    if (!before_ || latest_->numerator < before_->numerator)
        return std::nullopt; // no earlier sample yet, or the total went back (a restart)
    return Ratio(latest_->numerator - before_->numerator, latest_->denominator - before_->denominator, counter_.scale);
}

void CounterQuery::RemoveCounter()
{
    source_.reset();
    latest_.reset();
    before_.reset();
    lastFailed_ = false;
}

void CounterQuery::Cancel()
{
    cancelled_.store(true);
}
