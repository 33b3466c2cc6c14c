#include "external/counters/ProcFiles.h"

#include "external/counters/ParseNumber.h"
#include "external/support/FileOps.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos]))
            ++pos;
        if (pos > start)
            fields.push_back(line.substr(start, pos - start));
    }
    return fields;
}

// Calls `visit` with the fields of each line until it returns true.
template <typename Visit> bool ForEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        if (visit(Fields(text.substr(0, end))))
            return true;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return false;
}

// The fields of the first line whose first field is `key`, without that field.
std::vector<std::string_view> LineAfterKey(std::string_view text, std::string_view key)
{
    std::vector<std::string_view> found;
    ForEachLine(text, [&](std::vector<std::string_view> fields) {
        if (fields.empty() || fields[0] != key)
            return false;
        found.assign(fields.begin() + 1, fields.end());
        return true;
    });
    return found;
}

std::vector<std::string_view> FirstLine(std::string_view text)
{
    return Fields(text.substr(0, std::min(text.find('\n'), text.size())));
}

} // namespace

bool ReadProcFile(const char* path, std::string* text)
{
    text->clear();
    return ReadWholeFile(path, text) == 0;
}

std::optional<CpuTimes> ParseCpuTimes(std::string_view stat, std::string_view cpu)
{
    const std::vector<std::string_view> fields = LineAfterKey(stat, cpu);
    if (fields.size() < kCpuModes.size())
        return std::nullopt;
    CpuTimes times {};
    for (size_t i = 0; i < times.size(); ++i) {
        const std::optional<double> value = ParseNumber<double>(fields[i]);
        if (!value)
            return std::nullopt;
        times[i] = *value;
    }
    return times;
}

std::optional<double> ParseStatValue(std::string_view stat, std::string_view key)
{
    const std::vector<std::string_view> fields = LineAfterKey(stat, key);
    return fields.empty() ? std::nullopt : ParseNumber<double>(fields[0]);
}

std::optional<double> ParseMeminfoBytes(std::string_view meminfo, std::string_view key)
{
    const std::string label = std::string(key) + ":";
    const std::vector<std::string_view> fields = LineAfterKey(meminfo, label);
    if (fields.empty())
        return std::nullopt;
    const std::optional<double> value = ParseNumber<double>(fields[0]);
    const bool inKiB = fields.size() > 1 && fields[1] == "kB";
    return value && inKiB ? std::optional<double>(*value * 1024) : value;
}

std::optional<double> ParseInterruptsOfCpu(std::string_view interrupts, unsigned cpu)
{
    // The header names the processors that are online; the rows hold one count per header column
    // after the interrupt's label. Rows with fewer counts (ERR, MIS) are not per processor.
    const std::vector<std::string_view> columns = FirstLine(interrupts);
    const std::string name = "CPU" + std::to_string(cpu);
    size_t column = 0;
    while (column < columns.size() && columns[column] != name)
        ++column;
    if (column == columns.size())
        return std::nullopt;
    double sum = 0;
    ForEachLine(interrupts.substr(std::min(interrupts.find('\n'), interrupts.size())),
        [&](const std::vector<std::string_view>& fields) {
            if (fields.size() > columns.size()) {
                if (const std::optional<double> count = ParseNumber<double>(fields[column + 1]))
                    sum += *count;
            }
            return false;
        });
    return sum;
}

std::optional<InterfaceBytes> ParseNetDev(std::string_view netDev, std::string_view interface)
{
    // "  eth0: 23374858 813 0 0 0 0 0 0 47288 622 ...": 8 receive columns, then the transmit ones.
    // A large counter may run into the colon, so the line is split at the colon first.
    std::optional<InterfaceBytes> found;
    std::string_view text = netDev;
    while (!text.empty() && !found) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::vector<std::string_view> name = Fields(line.substr(0, colon));
        const std::vector<std::string_view> counts = Fields(line.substr(colon + 1));
        if (name.size() != 1 || name[0] != interface || counts.size() < 9)
            continue;
        const std::optional<double> received = ParseNumber<double>(counts[0]);
        const std::optional<double> sent = ParseNumber<double>(counts[8]);
        if (received && sent)
            found = InterfaceBytes { *received, *sent };
    }
    return found;
}

std::optional<double> ParseUptimeSeconds(std::string_view uptime)
{
    const std::vector<std::string_view> fields = FirstLine(uptime);
    return fields.empty() ? std::nullopt : ParseNumber<double>(fields[0]);
}

std::optional<LoadAverage> ParseLoadavg(std::string_view loadavg)
{
    const std::vector<std::string_view> fields = FirstLine(loadavg);
    if (fields.size() < 4)
        return std::nullopt;
    const size_t slash = fields[3].find('/');
    const std::optional<double> load1 = ParseNumber<double>(fields[0]);
    const std::optional<double> load5 = ParseNumber<double>(fields[1]);
    const std::optional<double> load15 = ParseNumber<double>(fields[2]);
    const std::optional<double> threads
        = slash == std::string_view::npos ? std::nullopt : ParseNumber<double>(fields[3].substr(slash + 1));
    if (!load1 || !load5 || !load15 || !threads)
        return std::nullopt;
    return LoadAverage { *load1, *load5, *load15, *threads };
}
