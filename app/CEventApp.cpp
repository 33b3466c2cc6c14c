#include "app/CEventApp.h"

#include "app/SignalWatcher.h"
#include "external/support/CSettings.h"
#include "external/support/Console.h"
#include "external/support/FileOps.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int kExitOK = 0;
constexpr int kExitNothingToRun = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: quorvel [-c] [-r] [-q] [project.qvl]\n"
    "  -c   run the project in console mode (no window) and end\n"
    "  -r   run the project as soon as the window has opened it\n"
    "  -q   close the window after that run\n"
    "Switches may begin with '-' or '/'; only their second character counts.\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

// Owns the process's preference store and publishes it as g_settings while it lives.
class SettingsScope {
public:
    SettingsScope() : settings_(std::make_unique<CSettings>()) { g_settings = settings_.get(); }
    ~SettingsScope() { g_settings = nullptr; }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

private:
    std::unique_ptr<CSettings> settings_;
};

} // namespace

void CEventApp::ParseParam(const std::string& param)
{
    if (param.empty())
        return;
    // "/" also begins every absolute path here: a parameter that exists, or that has a further
    // "/" in it, is a path; "/c" and "/console" stay switches.
    const bool slashSwitch = param[0] == '/' && param.find('/', 1) == std::string::npos && !PathExists(param);
    const bool isSwitch = param.size() >= 2 && (param[0] == '-' || slashSwitch);
    if (!isSwitch) {
        if (PathExists(param))
            projectPath = param;
        else
            missingFiles.push_back(param);
        return;
    }
    switch (param[1]) {
    case 'c':
        consoleFlag = 1;
        runFlag = 1;
        break;
    case 'r':
        runFlag = 1;
        break;
    case 'q':
        quitFlag = 1;
        break;
    default:
        break;
    }
}

int CEventApp::InitInstance(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return kExitOK;
        }
        if (arg == "--version") {
            std::printf("quorvel %s\n", QUORVEL_VERSION);
            return kExitOK;
        }
    }
    SettingsScope settings;
    for (const std::string& arg : args)
        ParseParam(arg);
    if (consoleFlag == 0) {
        std::fputs("quorvel: the main window is not available in this build yet; "
                   "run a project with: quorvel -c project.qvl\n",
                   stderr);
        return kExitUsage;
    }
    return ConsoleRun();
}

int CEventApp::ConsoleRun()
{
    ConsoleWrite(LoadString(IDS_CONSOLE_BANNER));
    for (const std::string& missing : missingFiles)
        std::fprintf(stderr, "quorvel: project file not found: %s\n", missing.c_str());
    if (!missingFiles.empty())
        return kExitUsage;
    if (projectPath.empty()) {
        std::fputs("quorvel: no project file named; nothing to run\n", stderr);
        return kExitNothingToRun;
    }
    QuorvelRunner project;
    project.Load(projectPath);
    SignalWatcher signals;
    return project.Run(nullptr, nullptr) == 0 ? kExitOK : kExitNothingToRun;
}
