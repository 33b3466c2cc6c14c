#include "external/counters/RemoteCounterSource.h"

#include "external/counters/CounterCatalog.h"
#include "external/counters/CounterQuery.h"
#include "external/support/StrFormat.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace {

// The samples of one metric that a counter adds up.
struct Term {
    std::string_view metric; // empty: no term
    std::string_view instanceLabel = {}; // the label that names the instance; empty: none
    std::span<const std::string_view> modes = {}; // node_cpu_seconds_total: the modes to add; empty: all
    bool firstOnly = false; // a mount point mounted over counts once
};

// numerator = first + secondSign * second; the value is scale * numerator / denominator, or per
// second of the time between two collections.
struct Recipe {
    Term first;
    Term second = {};
    double secondSign = 1;
    Term denominator = {}; // empty: 1
    bool perSecond = false;

    bool Uses(std::string_view name) const
    {
        return name == first.metric || name == second.metric || name == denominator.metric;
    }
};

constexpr std::string_view kCpuSeconds = "node_cpu_seconds_total";

Recipe Gauge(Term term)
{
    return Recipe { term };
}

Recipe PerSecond(Term first, Term second = {})
{
    Recipe recipe { first, second };
    recipe.perSecond = true;
    return recipe;
}

Recipe RecipeFor(const ResolvedCounter& counter)
{
    switch (counter.id) {
    case CounterId::ProcessorTime:
    case CounterId::IdleTime:
    case CounterId::UserTime:
    case CounterId::PrivilegedTime:
    case CounterId::InterruptTime:
        return Recipe { { kCpuSeconds, "cpu", CpuModesOf(counter.id) }, {}, 1, { kCpuSeconds, "cpu" } };
    case CounterId::InterruptsPerSec:
        return counter.IsTotal() ? PerSecond({ "node_intr_total" }) : PerSecond({ "node_interrupts_total", "cpu" });
    case CounterId::AvailableKBytes:
    case CounterId::AvailableMBytes:
        return Gauge({ "node_memory_MemAvailable_bytes" });
    case CounterId::CommittedBytesInUse:
        return Recipe { { "node_memory_Committed_AS_bytes" }, {}, 1, { "node_memory_CommitLimit_bytes" } };
    case CounterId::Processes:
        return Gauge({ "node_processes_pids" });
    case CounterId::Threads:
        return Gauge({ "node_processes_threads" });
    case CounterId::ContextSwitchesPerSec:
        return PerSecond({ "node_context_switches_total" });
    case CounterId::SystemUpTime:
        return Recipe { { "node_time_seconds" }, { "node_boot_time_seconds" }, -1 };
    case CounterId::FreeMegabytes:
        return Gauge({ "node_filesystem_avail_bytes", "mountpoint", {}, true });
    case CounterId::FreeSpacePercent:
        return Recipe { { "node_filesystem_avail_bytes", "mountpoint", {}, true }, {}, 1,
            { "node_filesystem_size_bytes", "mountpoint", {}, true } };
    case CounterId::BytesTotalPerSec:
        return PerSecond(
            { "node_network_receive_bytes_total", "device" }, { "node_network_transmit_bytes_total", "device" });
    case CounterId::BytesReceivedPerSec:
        return PerSecond({ "node_network_receive_bytes_total", "device" });
    case CounterId::BytesSentPerSec:
        return PerSecond({ "node_network_transmit_bytes_total", "device" });
    case CounterId::Load1:
        return Gauge({ "node_load1" });
    case CounterId::Load5:
        return Gauge({ "node_load5" });
    case CounterId::Load15:
        return Gauge({ "node_load15" });
    }
    return Gauge({});
}

bool ModeFits(const Term& term, const MetricSample& sample)
{
    if (term.modes.empty())
        return true;
    const std::string* mode = sample.Label("mode");
    return mode != nullptr && std::find(term.modes.begin(), term.modes.end(), *mode) != term.modes.end();
}

// The sum of the term's samples: PDH_CSTATUS_NO_COUNTER when the exporter does not publish the
// metric at all, PDH_CSTATUS_NO_INSTANCE when no sample is of the instance.
uint32_t Evaluate(const Term& term, const std::vector<MetricSample>& samples, const std::string& instance, double* sum)
{
    *sum = 0;
    bool published = false;
    bool matched = false;
    const bool allInstances = term.instanceLabel.empty() || instance == "_Total";
    for (const MetricSample& sample : samples) {
        if (sample.name != term.metric)
            continue;
        published = true;
        const std::string* label = allInstances ? nullptr : sample.Label(term.instanceLabel);
        if (!allInstances && (label == nullptr || *label != instance))
            continue;
        matched = true;
        if (ModeFits(term, sample))
            *sum += sample.value;
        if (term.firstOnly)
            break;
    }
    if (!published)
        return PDH_CSTATUS_NO_COUNTER;
    return matched ? 0 : PDH_CSTATUS_NO_INSTANCE;
}

uint32_t Evaluate(
    const Recipe& recipe, const std::vector<MetricSample>& samples, const std::string& instance, RawSample* sample)
{
    double second = 0;
    uint32_t status = Evaluate(recipe.first, samples, instance, &sample->numerator);
    if (status == 0 && !recipe.second.metric.empty())
        status = Evaluate(recipe.second, samples, instance, &second);
    if (status == 0 && !recipe.denominator.metric.empty())
        status = Evaluate(recipe.denominator, samples, instance, &sample->denominator);
    sample->numerator += recipe.secondSign * second;
    if (recipe.perSecond)
        sample->denominator = MonotonicSeconds();
    return status;
}

} // namespace

RemoteCounterSource::RemoteCounterSource(
    const std::string& host, uint16_t port, const std::atomic<bool>& cancelled, RemoteCounterModule::LogFn log)
    : url_(StrFormat("http://%s:%u/metrics", host.c_str(), static_cast<unsigned>(port)))
    , log_(log)
    , cancelled_(cancelled)
    , http_(cancelled)
{
}

uint32_t RemoteCounterSource::Check(const ResolvedCounter&)
{
    return 0;
}

uint32_t RemoteCounterSource::Read(const ResolvedCounter& counter, RawSample* sample)
{
    *sample = RawSample {};
    const Recipe recipe = RecipeFor(counter);
    if (!Fetch([&recipe](std::string_view name) { return recipe.Uses(name); }))
        return PDH_CSTATUS_NO_MACHINE;
    return Evaluate(recipe, parser_.Samples(), counter.instance, sample);
}

bool RemoteCounterSource::Fetch(const MetricsParser::Filter& keep)
{
    if (cancelled_.load())
        return false;
    std::string body;
    std::string error;
    if (!http_.Get(url_, &body, &error)) {
        if (!cancelled_.load())
            ReportFailure(error);
        return false;
    }
    if (!parser_.Parse(body, keep)) {
        ReportFailure("malformed metrics, " + parser_.Error());
        return false;
    }
    streak_.Changed(false);
    return true;
}

// One entry per streak of failures: a machine that is down would otherwise fill the log.
void RemoteCounterSource::ReportFailure(const std::string& what)
{
    if (!streak_.Changed(true))
        return;
    log_("GET " + url_ + ": " + what, "RemoteCounterSource", __FILE__, __LINE__);
}
