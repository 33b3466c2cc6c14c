#include "engine/EngineFixture.h"

#include <algorithm>

void RecordingPage::ClearLists()
{
    std::lock_guard lock(mutex_);
    rows_.clear();
}

void RecordingPage::EnableRunControls(bool running)
{
    std::lock_guard lock(mutex_);
    runControls.push_back(running);
}

int RecordingPage::AddActiveRow(Quorvel& event, const std::string& text)
{
    int row = 0;
    {
        std::lock_guard lock(mutex_);
        row = static_cast<int>(rows_.size());
        rows_.push_back({ event.EventNote, {} });
    }
    Record(row, text);
    return row;
}

void RecordingPage::Record(int row, const std::string& text)
{
    std::string note;
    {
        std::lock_guard lock(mutex_);
        auto& [rowNote, statuses] = rows_.at(static_cast<size_t>(row));
        statuses.push_back(text);
        note = rowNote;
    }
    if (onStatus)
        onStatus(note, text);
}

std::vector<std::string> RecordingPage::Statuses(const std::string& note) const
{
    std::lock_guard lock(mutex_);
    const auto row = std::find_if(rows_.begin(), rows_.end(), [&note](const auto& r) { return r.first == note; });
    return row != rows_.end() ? row->second : std::vector<std::string> {};
}

int RecordingPage::Count(const std::string& note, const std::string& status) const
{
    const auto statuses = Statuses(note);
    return static_cast<int>(std::count(statuses.begin(), statuses.end(), status));
}

std::string RecordingPage::Last(const std::string& note) const
{
    const auto statuses = Statuses(note);
    return statuses.empty() ? std::string() : statuses.back();
}
