// The program action: starts the event's command line without waiting for it.
#include "engine/Actions.h"
#include "engine/ProgramLauncher.h"
#include "external/support/CLog.h"
#include "external/support/MessageBox.h"
#include "model/Quorvel.h"

bool RunProgramAction(Quorvel& event)
{
    std::string error;
    if (ProgramLauncher::Start(event.sProgram, &error) == 0)
        return true;
    ShowMessageBox(error, event.sProgram, MB_OK | MB_ICONERROR);
    CLog::Bug(error, "Execution error: ");
    return false;
}
