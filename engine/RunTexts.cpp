#include "engine/RunTexts.h"

#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

namespace {

thread_local const RunTexts* t_made = nullptr;

} // namespace

RunTexts::RunTexts(const Quorvel& event)
    : event_(event)
    , statusMiddle_(StatusMiddle(event))
    , reportName_(ReportName(event))
    , outer_(t_made)
{
    t_made = this;
}

RunTexts::~RunTexts()
{
    t_made = outer_;
}

const RunTexts* RunTexts::Made(const Quorvel& event)
{
    for (const RunTexts* texts = t_made; texts != nullptr; texts = texts->outer_) {
        if (&texts->event_ == &event)
            return texts;
    }
    return nullptr;
}

std::string RunTexts::StatusMiddle(const Quorvel& event)
{
    std::string middle = ": ";
    AppendOneLine(middle, event.Description(-1));
    middle += " (";
    AppendOneLine(middle, event.EventNote);
    return middle + ") -> ";
}

std::string RunTexts::ReportName(const Quorvel& event)
{
    std::string name;
    AppendReportField(name, event.EventNote.empty() ? event.Description(-1) : event.EventNote);
    return name;
}

void RunTexts::AppendStatusMiddle(std::string& out, const Quorvel& event)
{
    if (const RunTexts* made = Made(event); made != nullptr)
        out += made->statusMiddle_;
    else
        out += StatusMiddle(event);
}

void RunTexts::AppendReportName(std::string& out, const Quorvel& event)
{
    if (const RunTexts* made = Made(event); made != nullptr)
        out += made->reportName_;
    else
        out += ReportName(event);
}

void AppendReportField(std::string& out, std::string_view text)
{
    AppendOneLine(out, text);
}
