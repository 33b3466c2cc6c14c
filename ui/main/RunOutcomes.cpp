#include "ui/main/RunOutcomes.h"

#include "engine/FailureNotice.h"
#include "model/QuorvelRunner.h"

#include <QCoreApplication>
#include <array>
#include <numeric>

namespace {

// The raw state of one event, copied under the lock; the texts are made after it is released.
struct Raw {
    EventLive::Outcome outcome = EventLive::Outcome::kNone;
    std::string value;
    std::string what;
    std::string reason;
    int passed = 0;
    int failed = 0;
};

Raw RawOf(const Quorvel& event)
{
    Raw raw;
    raw.outcome = event.live.outcome;
    if (!event.results.recent.empty() && event.results.recent.back().status != "FAILED")
        raw.value = event.results.recent.back().value;
    if (const FailureStreak* failing = event.live.Failing(&raw.what))
        raw.reason = failing->reason();
    else
        raw.what.clear();
    raw.passed = event.results.passed;
    raw.failed = event.results.Failed();
    return raw;
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("RunOutcomes", text);
}

} // namespace

bool RunOutcomes::CopyFrom(const QuorvelRunner& project, uint64_t* changes)
{
    std::vector<Raw> raws;
    {
        // Workers hold the lock while they write a report line: when one is at it, the copy waits
        // for the next turn rather than the window for a disk.
        std::unique_lock lock(project.lock, std::try_to_lock);
        if (!lock.owns_lock())
            return false;
        if (project.statusChanges == *changes && !events.empty())
            return false;
        *changes = project.statusChanges;
        running = project.running;
        startedMs = project.runStartedMs;
        raws.reserve(project.events.size());
        for (const Quorvel& event : project.events)
            raws.push_back(RawOf(event));
    }
    events.assign(raws.size(), Event {});
    for (size_t i = 0; i < raws.size(); ++i) {
        const Raw& raw = raws[i];
        Event& event = events[i];
        event.outcome = raw.outcome;
        event.value = QString::fromStdString(raw.value);
        if (!raw.what.empty())
            event.failure = QString::fromStdString(FailureText(raw.what, raw.reason));
        event.passed = raw.passed;
        event.failed = raw.failed;
    }
    return true;
}

int RunOutcomes::Passed() const
{
    return std::accumulate(events.begin(), events.end(), 0, [](int sum, const Event& e) { return sum + e.passed; });
}

int RunOutcomes::Failed() const
{
    return std::accumulate(events.begin(), events.end(), 0, [](int sum, const Event& e) { return sum + e.failed; });
}

QString RunOutcomes::Word(Outcome outcome)
{
    switch (outcome) {
    case Outcome::kPassed:
        return Tr("Passed");
    case Outcome::kActed:
        return Tr("Acted");
    case Outcome::kHeldBack:
        return Tr("Held back");
    case Outcome::kFailed:
        return Tr("Failed");
    case Outcome::kNone:
        break;
    }
    return {};
}

QIcon RunOutcomes::Icon(Outcome outcome)
{
    // Made once and never freed: an icon must not outlive the icon engine that the program's end
    // unloads, and the views ask for them at every paint.
    static const auto* icons = new std::array<QIcon, 5> { QIcon(), QIcon(QStringLiteral(":/icons/outcome-passed.svg")),
        QIcon(QStringLiteral(":/icons/outcome-acted.svg")), QIcon(QStringLiteral(":/icons/outcome-heldback.svg")),
        QIcon(QStringLiteral(":/icons/outcome-failed.svg")) };
    return (*icons)[static_cast<size_t>(outcome)];
}

QColor RunOutcomes::Colour(Outcome outcome)
{
    switch (outcome) {
    case Outcome::kPassed:
        return QColor(0x1b, 0x6e, 0x2e);
    case Outcome::kActed:
        return QColor(0x15, 0x4f, 0x9c);
    case Outcome::kHeldBack:
        return QColor(0x7a, 0x55, 0x00);
    case Outcome::kFailed:
        return QColor(0xb0, 0x1c, 0x1c);
    case Outcome::kNone:
        break;
    }
    return {};
}

QString RunOutcomes::Describe(const Event& event)
{
    if (!event.failure.isEmpty())
        return event.failure;
    const QString word = Word(event.outcome);
    if (word.isEmpty() || event.value.isEmpty())
        return word;
    return Tr("%1, value %2").arg(word, event.value);
}
