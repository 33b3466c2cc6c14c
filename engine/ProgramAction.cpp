// The program action: starts the event's command line without waiting for it.
#include "engine/Actions.h"
#include "engine/CommandLine.h"
#include "engine/ProgramLauncher.h"
#include "external/support/CLog.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

#include <utility>
#include <vector>

namespace {

int Start(const std::string& commandLine, const std::string& state, std::string* error)
{
    std::vector<std::string> args;
    if (SplitCommandLine(commandLine, &args, error) != 0)
        return -1;
    for (std::string& arg : args)
        arg = ReplaceAll(arg, "$STATE$", state);
    return ProgramLauncher::Start(std::move(args), error);
}

} // namespace

bool RunProgramAction(Quorvel& event, const std::string& state)
{
    std::string error;
    if (Start(event.sProgram, state, &error) == 0)
        return true;
    ShowMessageBox(error, event.sProgram, MB_OK | MB_ICONERROR);
    CLog::Bug(error, "Execution error: ");
    return false;
}
