#include "external/support/FailureLine.h"

#include "external/support/CLog.h"
#include "external/support/Console.h"
#include "external/support/StrFormat.h"

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

void TellFailure(const std::string& line, const char* context)
{
    ConsoleError(line + "\n");
    const std::string_view text(line);
    CLog::Bug(std::string(text.substr(0, kProgram.size()) == kProgram ? text.substr(kProgram.size()) : text), context);
}
