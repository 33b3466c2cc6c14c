#pragma once

#include "external/counters/CounterSource.h"
#include "external/counters/HttpClient.h"
#include "external/counters/MetricsParser.h"
#include "external/counters/RemoteCounterModule.h"
#include "external/support/StreakFlag.h"

#include <atomic>
#include <string>

// The counters of another machine, read from its node_exporter at http://host:port/metrics.
// Every collection fetches the page anew; docs/counters.md lists the metrics each counter uses.
class RemoteCounterSource : public CounterSource {
public:
    // Failures go to `log`, the program log's entry point.
    RemoteCounterSource(
        const std::string& host, uint16_t port, const std::atomic<bool>& cancelled, RemoteCounterModule::LogFn log);

    // Only the names are checked at add: the machine may well be down while the event starts.
    uint32_t Check(const ResolvedCounter& counter) override;
    uint32_t Read(const ResolvedCounter& counter, RawSample* sample) override;

private:
    // Fetches and parses the page, keeping the samples `keep` wants; false on any failure.
    bool Fetch(const MetricsParser::Filter& keep);
    void ReportFailure(const std::string& what);

    std::string url_;
    RemoteCounterModule::LogFn log_;
    const std::atomic<bool>& cancelled_;
    HttpClient http_;
    MetricsParser parser_;
    StreakFlag streak_; // a failure was logged and no collection has succeeded since
};
