#include "engine/MetricsWriter.h"

#include "engine/CheckWatch.h"
#include "external/support/CLog.h"
#include "external/support/Console.h"
#include "external/support/FileOps.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// What one event shows: a copy of its statistics and its labels, taken under the runner's lock.
struct EventFigures {
    int position = 0; // 1-based place in the project's list
    std::string note;
    ExecStats stats;
    double executing = 0; // seconds the check now in progress has run
    int64_t lastFailureMs = 0; // Unix ms of the latest failure of the check, the action or an output file
};

struct Metric {
    const char* name;
    const char* type;
    const char* help;
    // The sample's value, or none when the event has no such figure (yet).
    std::optional<double> (*value)(const EventFigures&);
};

// The check's value when it is a number and nothing else (blanks around it allowed).
std::optional<double> NumericValue(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double number = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(number))
        return std::nullopt;
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
        ++end;
    return *end == '\0' ? std::optional<double>(number) : std::nullopt;
}

std::optional<double> WhenExecuted(const ExecStats& s, double v)
{
    return s.count > 0 ? std::optional<double>(v) : std::nullopt;
}

const Metric kMetrics[] = {
    { "quorvel_executions_total", "counter", "Executions of the event in this run.",
        [](const EventFigures& e) { return std::optional<double>(e.stats.count); } },
    { "quorvel_checks_passed_total", "counter", "Executions whose check passed.",
        [](const EventFigures& e) { return std::optional<double>(e.stats.passed); } },
    { "quorvel_checks_failed_total", "counter", "Executions whose check failed or did not run.",
        [](const EventFigures& e) { return std::optional<double>(e.stats.Failed()); } },
    { "quorvel_actions_total", "counter", "Executions that ran the event's action.",
        [](const EventFigures& e) { return std::optional<double>(e.stats.actions); } },
    { "quorvel_up", "gauge", "1 when the latest check passed, 0 when it failed.",
        [](const EventFigures& e) { return WhenExecuted(e.stats, e.stats.lastPassed ? 1 : 0); } },
    { "quorvel_last_check_seconds", "gauge", "Duration of the latest check in seconds.",
        [](const EventFigures& e) { return WhenExecuted(e.stats, e.stats.lastCheck / 1000.0); } },
    { "quorvel_check_executing_seconds", "gauge", "How long the check now in progress has run; 0 between checks.",
        [](const EventFigures& e) { return std::optional<double>(std::floor(e.executing)); } },
    { "quorvel_last_value", "gauge", "Value of the latest check that passed, when it is a number.",
        [](const EventFigures& e) { return NumericValue(e.stats.lastValue); } },
    { "quorvel_last_execution_timestamp_seconds", "gauge", "End of the latest execution, Unix time.",
        [](const EventFigures& e) { return WhenExecuted(e.stats, static_cast<double>(e.stats.lastTime)); } },
    { "quorvel_last_failure_timestamp_seconds", "gauge",
        "When the check, the action or an output file of the event last failed, Unix time.",
        [](const EventFigures& e) {
            return e.lastFailureMs > 0 ? std::optional<double>(e.lastFailureMs / 1000.0) : std::nullopt;
        } },
};

// A label value as the exposition format wants it: backslash, double quote and line feed escaped.
std::string LabelValue(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Whole numbers as plain digits (a million executions read 1000000, not 1e+06); others as the
// shortest text that reads back as the same number.
std::string Number(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return StrFormat("%lld", static_cast<long long>(value));
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The project label: "MetricsProject" when set, else the project file's name, else (a project never
// saved) the metrics file's name. Two projects on one machine must differ in it, or the collector
// drops their samples as duplicates.
std::string ProjectLabel(const QuorvelRunner& runner)
{
    if (!runner.metricsProject.empty())
        return runner.metricsProject;
    if (!runner.projectName.empty())
        return runner.projectName;
    return std::filesystem::path(runner.metricsFile).stem().string();
}

} // namespace

MetricsWriter::MetricsWriter(QuorvelRunner& runner, std::vector<const Quorvel*> taking)
    : runner_(runner)
    , taking_(std::move(taking))
{
}

MetricsWriter::~MetricsWriter()
{
    Stop();
}

void MetricsWriter::Start()
{
    if (!runner_.metricsFile.empty())
        ticker_.Start([this] { WriteOnce(); });
}

void MetricsWriter::Stop()
{
    if (ticker_.Stop())
        WriteOnce(); // the final figures
}

std::string MetricsWriter::Text() const
{
    std::vector<EventFigures> figures;
    {
        std::lock_guard lock(runner_.lock);
        for (const Quorvel* event : taking_) {
            std::string what;
            const FailureStreak* failure = event->live.Latest(&what);
            figures.push_back({ runner_.IndexOf(*event) + 1, event->EventNote, event->results, 0,
                failure != nullptr ? failure->latestMs() : 0 });
        }
    }
    for (size_t i = 0; i < figures.size(); ++i)
        figures[i].executing = CheckWatch::RunningSeconds(taking_[i]);
    const std::string project = LabelValue(ProjectLabel(runner_));
    std::string text;
    for (const Metric& metric : kMetrics) {
        text += StrFormat("# HELP %s %s\n# TYPE %s %s\n", metric.name, metric.help, metric.name, metric.type);
        for (const EventFigures& event : figures) {
            if (const std::optional<double> value = metric.value(event))
                text += StrFormat("%s{project=\"%s\",event=\"%d\",note=\"%s\"} %s\n", metric.name, project.c_str(),
                    event.position, LabelValue(event.note).c_str(), Number(*value).c_str());
        }
    }
    return text;
}

int MetricsWriter::WriteOnce()
{
    std::string error;
    const int result = WriteFileAtomically(runner_.metricsFile, Text(), 0644, &error);
    if (streak_.Changed(result != 0)) {
        const std::string told = result != 0 ? "metrics file not written: " + error + "; tried again every second"
                                          : StrFormat("the metrics file %s is written again", runner_.metricsFile.c_str());
        CLog::Bug(told, "MetricsWriter");
        ConsoleError("quorvel: " + told + "\n");
    }
    return result;
}
