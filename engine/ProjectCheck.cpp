#include "engine/ProjectCheck.h"

#include "external/support/ReportFile.h"
#include "external/support/CSysReg.h"
#include "external/support/StrFormat.h"
#include "engine/EventRunProblems.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <algorithm>
#include <cstring>
#include <toml++/toml.h>

namespace {

using Section = ProjectSchema::Section;
using Type = ProjectSchema::Type;

constexpr const char* kCommon = "Common";

std::string ItemSection(int index)
{
    return StrFormat("Item%d", index);
}

// What the file holds where a value of another type belongs, as a message says it.
std::string Found(const toml::node& node)
{
    switch (node.type()) {
    case toml::node_type::string:
        return "a string (" + QuotedInMessage(node.as_string()->get()) + ")";
    case toml::node_type::integer:
        return "an integer (" + std::to_string(node.as_integer()->get()) + ")";
    case toml::node_type::floating_point:
        return "a floating-point number";
    case toml::node_type::boolean:
        return std::string("a boolean (") + (node.as_boolean()->get() ? "true" : "false") + ")";
    case toml::node_type::table:
        return "a table";
    case toml::node_type::array:
        return "an array";
    default:
        return "a date or time";
    }
}

int Line(const toml::source_region& where)
{
    return static_cast<int>(where.begin.line);
}

} // namespace

ProjectCheck::ProjectCheck(const std::string& path) : path_(path), store_(std::make_unique<CSysReg>(path))
{
    const CSysReg::LoadFailure& failure = store_->LoadError();
    if (failure.error == CSysReg::LoadFailure::kUnparsable) {
        unparsable_ = true;
        Add(std::max(failure.line, 1), false,
            StrFormat("does not parse (column %d): %s; it loads as an empty project", failure.column,
                failure.reason.c_str()));
        return;
    }
    if (failure.error != 0) {
        readError_ = failure.error;
        Add(0, false, std::string("cannot be read: ") + std::strerror(failure.error));
        return;
    }
    const int items = Int(kCommon, "Items");
    eventCount_ = QuorvelRunner::EventsToLoad(*store_, items);
    CheckNames();
    CheckEncoding();
    CheckEnums(kCommon, Section::Common, true);
    CheckEvents(items);
    CheckRun();
    std::stable_sort(problems_.begin(), problems_.end(),
        [](const ProjectProblem& a, const ProjectProblem& b) { return a.line < b.line; });
}

ProjectCheck::~ProjectCheck() = default;

int ProjectCheck::Errors() const
{
    return static_cast<int>(
        std::count_if(problems_.begin(), problems_.end(), [](const ProjectProblem& p) { return !p.warning; }));
}

int ProjectCheck::Warnings() const
{
    return static_cast<int>(problems_.size()) - Errors();
}

int ProjectCheck::Int(const std::string& section, const std::string& key) const
{
    const ProjectSchema::Key* known = nullptr;
    Section kind {};
    int index = 0;
    if (ProjectSchema::SectionOf(section, &kind, &index))
        known = ProjectSchema::Find(kind, key);
    int value = 0;
    store_->Read(section, key, &value, known != nullptr ? known->readDefault : 0);
    return value;
}

std::string ProjectCheck::Text(const std::string& section, const std::string& key) const
{
    std::string value;
    store_->Read(section, key, &value, "");
    return value;
}

std::vector<std::string> ProjectCheck::UnreadableKeys(int index) const
{
    const std::string section = ItemSection(index);
    std::vector<std::string> keys;
    for (const ProjectProblem& problem : problems_) {
        if (!problem.unreadable || problem.section.rfind(section, 0) != 0)
            continue;
        const std::string suffix = problem.section.substr(section.size());
        if (suffix.empty())
            keys.push_back(problem.key);
        else if (suffix == "_connect" || suffix == "_action")
            keys.push_back(suffix + "." + problem.key);
    }
    return keys;
}

std::string ProjectCheck::Format(const ProjectProblem& problem) const
{
    if (problem.line == 0)
        return path_ + ": " + problem.message;
    return path_ + ":" + std::to_string(problem.line) + ": " + (problem.warning ? "warning: " : "") + problem.message;
}

std::string ProjectCheck::Report() const
{
    std::string text;
    for (const ProjectProblem& problem : problems_)
        text += Format(problem) + "\n";
    return text;
}

void ProjectCheck::Add(int line, bool warning, std::string message, const std::string& section, const std::string& key)
{
    problems_.push_back({ line, warning, std::move(message), section, key, false });
}

int ProjectCheck::LineOf(const std::string& section, const std::string& key) const
{
    const toml::table* table = store_->Document().get_as<toml::table>(section);
    if (table == nullptr)
        return section == kCommon ? 1 : LineOf(kCommon, "Items");
    if (!key.empty()) {
        const auto found = table->find(key);
        if (found != table->end())
            return std::max(Line(found->first.source()), 1);
    }
    return std::max(Line(table->source()), 1);
}

// Every section and key of the file against the table of known ones.
void ProjectCheck::CheckNames()
{
    for (const auto& [name, node] : store_->Document()) {
        const std::string section(name.str());
        const int line = std::max(Line(name.source()), 1);
        Section kind {};
        int index = 0;
        if (!node.is_table()) {
            const bool common = ProjectSchema::Find(Section::Common, section) != nullptr;
            Add(line, true,
                StrFormat("\"%s\" is outside every section: it is not read%s", section.c_str(),
                    common ? " (it belongs in [Common])" : ""));
        } else if (!ProjectSchema::SectionOf(section, &kind, &index)) {
            const std::string nearest = ProjectSchema::NearestSection(section);
            Add(line, true,
                StrFormat("unknown section [%s]: it is not read%s", section.c_str(),
                    nearest.empty() ? "" : (" (did you mean [" + nearest + "]?)").c_str()));
        } else if (index >= eventCount_) {
            const int items = Int(kCommon, "Items");
            Add(line, true,
                index >= items ? StrFormat("[%s] is not read: \"Items\" is %d", section.c_str(), items)
                               : StrFormat("[%s] is not read: loading stops after %d missing event sections",
                                   section.c_str(), kMaxEvents));
        } else {
            CheckSection(section, kind);
        }
    }
}

void ProjectCheck::CheckSection(const std::string& section, Section kind)
{
    for (const auto& [name, node] : *store_->Document().get_as<toml::table>(section)) {
        const std::string key(name.str());
        const int line = std::max(Line(name.source()), 1);
        const ProjectSchema::Key* known = ProjectSchema::Find(kind, key);
        if (known == nullptr) {
            const std::string nearest = ProjectSchema::NearestKey(kind, key);
            Add(line, true,
                StrFormat("[%s] unknown key \"%s\": it is not read%s", section.c_str(), key.c_str(),
                    nearest.empty() ? "" : (" (did you mean \"" + nearest + "\"?)").c_str()),
                section, key);
            continue;
        }
        // Unreadable exactly when the store, which the loader reads through, gives the default.
        int number = 0;
        std::string text;
        const bool readable = known->type == Type::Int ? store_->Read(section, key, &number, 0) == 0
                                                       : store_->Read(section, key, &text, "") == 0;
        if (readable)
            continue;
        const std::string readsAs
            = known->type == Type::Int ? std::to_string(known->readDefault) : std::string("\"\"");
        if (known->type == Type::Int && node.is_integer())
            Add(line, false,
                StrFormat("[%s] %s is %lld, which does not fit in 32 bits: it reads as %s", section.c_str(),
                    key.c_str(), static_cast<long long>(node.as_integer()->get()), readsAs.c_str()),
                section, key);
        else
            Add(line, false,
                StrFormat("[%s] %s is %s, not %s: it reads as %s", section.c_str(), key.c_str(), Found(node).c_str(),
                    known->type == Type::Int ? "an integer" : "a string", readsAs.c_str()),
                section, key);
        problems_.back().unreadable = true;
    }
}

void ProjectCheck::CheckEncoding()
{
    const std::string name = Text(kCommon, "TextEncoding");
    ReportFile::Encoding encoding;
    if (!name.empty() && ReportFile::EncodingNamed(name, &encoding) != 0)
        Add(LineOf(kCommon, "TextEncoding"), true,
            StrFormat("[Common] TextEncoding %s is no known encoding (UTF-8, UTF-16LE): the preference decides",
                QuotedInMessage(name).c_str()),
            kCommon, "TextEncoding");
    const std::string lines = Text(kCommon, "ConsoleLines");
    if (!lines.empty() && QuorvelRunner::ConsoleLinesNamed(lines) < 0)
        Add(LineOf(kCommon, "ConsoleLines"), true,
            StrFormat("[Common] ConsoleLines %s is no known choice (all, changes, none): the preference decides",
                QuotedInMessage(lines).c_str()),
            kCommon, "ConsoleLines");
}

void ProjectCheck::CheckEvents(int items)
{
    const int itemsLine = LineOf(kCommon, "Items");
    const int capped = std::max(std::min(items, QuorvelRunner::LastItemSection(*store_) + 1), 0);
    if (capped < items) {
        Add(itemsLine, false,
            capped == 0 ? StrFormat("\"Items\" is %d, but the file has no event section: no event loads", items)
                        : StrFormat("\"Items\" is %d, but the last event section is [Item%d]: %d events load", items,
                            capped - 1, capped));
    } else if (eventCount_ < capped) {
        Add(itemsLine, false,
            StrFormat("\"Items\" is %d, but more than %d event sections are missing: the first %d events load",
                items, kMaxEvents, eventCount_));
    }
    if (eventCount_ > kMaxEvents)
        Add(itemsLine, false, StrFormat("%d events load, but a run takes at most %d", eventCount_, kMaxEvents));
    for (int i = 0; i < eventCount_; ++i)
        CheckEvent(i);
}

void ProjectCheck::CheckEvent(int index)
{
    const std::string section = ItemSection(index);
    if (!store_->HasSection(section)) {
        Add(LineOf(kCommon, "Items"), false,
            StrFormat("[%s] is missing: event %d loads with the read defaults (an SQL check without a statement)",
                section.c_str(), index + 1));
        return;
    }
    const bool enabled = Int(section, "enabled") != 0;
    CheckEnums(section, Section::Item, enabled);
    for (const char* suffix : { "_connect", "_action" })
        CheckEnums(section + suffix, Section::Connection, enabled);
    // What the event would do when it runs is told of the event as the loader makes it.
    Quorvel event;
    event.Load(*store_, section);
    for (const EventProblem& problem : EventRunProblems(event, section))
        Add(LineOf(problem.section, problem.lineKey), problem.warning, problem.message, problem.section, problem.key);
}

void ProjectCheck::CheckEnums(const std::string& section, Section kind, bool enabled)
{
    for (const ProjectSchema::Key& key : ProjectSchema::Keys()) {
        if (key.section != kind || key.max < 0)
            continue;
        const int value = Int(section, key.name);
        if (value < 0 || value > key.max)
            Add(LineOf(section, key.name), !enabled,
                StrFormat("[%s] %s is %d, no known %s (%s)%s", section.c_str(), key.name, value, key.what, key.values,
                    DisabledNote(enabled)),
                section, key.name);
    }
}
