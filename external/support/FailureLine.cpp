#include "external/support/FailureLine.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"

#include <cstdio>

namespace {

constexpr std::string_view kProgram = "quorvel: ";

} // namespace

std::string ProjectLine(const std::string& project, const std::string& text)
{
    std::string line(kProgram);
    if (!project.empty()) { // a project that was never saved has no file to name
        AppendOneLine(line, project);
        line += ": ";
    }
    AppendOneLine(line, text);
    return line;
}

std::string EventFailureLine(
    const std::string& project, int event, const std::string& note, const std::string& what, const std::string& reason)
{
    std::string text = "event ";
    AppendDecimal(text, event);
    text += " \"";
    AppendOneLine(text, note);
    text += "\": " + what + " failed: ";
    AppendOneLine(text, reason);
    return ProjectLine(project, text);
}

void TellFailure(const std::string& line, const char* context)
{
    const std::string whole = line + "\n";
    std::fwrite(whole.data(), 1, whole.size(), stderr);
    std::fflush(stderr);
    const std::string_view text(line);
    CLog::Bug(std::string(text.substr(0, kProgram.size()) == kProgram ? text.substr(kProgram.size()) : text), context);
}
