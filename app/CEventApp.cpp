#include "app/CEventApp.h"

#include "app/SignalWatcher.h"
#include "app/StatusCommand.h"
#include "engine/RunControl.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Console.h"
#include "external/support/FileOps.h"
#include "external/support/SharedFiles.h"
#include "model/ListenAddress.h"
#include "engine/ProjectCheck.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int kExitOK = 0;
constexpr int kExitNothingToRun = 1;
constexpr int kExitUsage = 2;
constexpr int kExitProblem = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitReportNotWritten = 4; // the run went on, but a report of it is missing

// How long the end of a run waits for a console reader to take the lines still queued.
constexpr std::chrono::seconds kConsoleFlushBound { 2 };

const char* const kUsage =
    "Usage: quorvel [-c] [-r] [-q] [project.qvl]\n"
    "       quorvel --check [--strict] project.qvl...\n"
    "       quorvel status [--json] [project.qvl...]\n"
    "  -c   run the project in console mode (no window) and end\n"
    "  -r   run the project as soon as the window has opened it\n"
    "  -q   close the window after that run\n"
    "Switches may begin with '-' or '/'; only their second character counts.\n"
    "  --check    read each project as a run would, print every problem as file:line: message\n"
    "             and end: 0 sound, 1 a problem (warnings too with --strict), 2 a file unreadable\n"
    "  status     the projects running on this machine, from their status snapshots: one block\n"
    "             per project, one row per event, \"!\" before a failed check; stale: the process\n"
    "             is gone. Project files named restrict it to theirs; --json prints the snapshots.\n"
    "             0 every check passed, 1 one failed, 3 no project runs (also --status, -status)\n"
    "  --help     this text (also -help, -h)\n"
    "  --version  the program's version (also -version, -v)\n"
    "  --console-lines=all|changes|none\n"
    "             with -c: print every status change (all), an event's start, end and changed\n"
    "             outcomes (changes), or nothing (none); wins over the project's ConsoleLines\n"
    "  --listen=HOST:PORT\n"
    "             serve the run's status page (/, /status.json, /metrics, /summary) there;\n"
    "             a port alone binds 127.0.0.1; wins over the project's Listen\n"
    "--check, --status, --help and --version may be written with one dash.\n";

// The arguments with the one-dash spellings of the long options in their long form: "-check"
// would otherwise be the switch c and run the project it names.
std::vector<std::string> LongForms(const std::vector<std::string>& args)
{
    std::vector<std::string> result;
    for (const std::string& arg : args) {
        if (arg == "-check" || arg == "-status" || arg == "-help" || arg == "-version")
            result.push_back("-" + arg);
        else if (arg == "-h")
            result.emplace_back("--help");
        else if (arg == "-v")
            result.emplace_back("--version");
        else
            result.push_back(arg);
    }
    return result;
}

// Log rotation moves the files aside and sends SIGHUP: every file is opened by its path for each
// line, so the next line begins a new file; what the writers remember of the old one goes.
void ReopenOutputs(QuorvelRunner& project)
{
    {
        std::lock_guard lock(project.lock);
        project.reportOutput.Reopen();
        project.logOutput.Reopen();
    }
    CLog::Bug("SIGHUP: the execution report, the custom log and the program log are opened again at their paths",
        "Console run");
}

// SIGUSR1: the summary of the run so far, in the file the end of the run writes, and the run goes
// on. The statistics are read under the runner's lock while the workers add to them.
void ReportSoFar(QuorvelRunner& project)
{
    if (project.summaryFile.empty()) {
        std::fputs("quorvel: SIGUSR1: the project names no summary report (Summary)\n", stderr);
        return;
    }
    if (project.WriteSummaryReport() != 0)
        return;
    std::lock_guard one(project.summaryWriting);
    CLog::Bug("SIGUSR1: the summary of the run so far is written to " + project.currentSummaryFile, "Console run");
}

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

bool NonEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A display the window can open on: X11, Wayland, or a Qt platform named explicitly (offscreen,
// vnc, ...).
bool HasDisplay()
{
    if (NonEmptyEnv("DISPLAY") || NonEmptyEnv("WAYLAND_DISPLAY"))
        return true;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0')
        return false;
    const std::string name(platform);
    return name.rfind("xcb", 0) != 0 && name.rfind("wayland", 0) != 0;
}

// The window program: beside this one in the build tree, under libexec when installed.
std::string WindowProgram()
{
    const std::string dir = ProgramFolder();
    for (const std::string& candidate : {dir + "/quorvel-window", dir + "/../libexec/quorvel/quorvel-window"})
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    return {};
}

std::string Counted(int n, const char* what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// The last line of a check: how many files, and what was found in them.
std::string Verdict(int files, int errors, int warnings, int unreadable, bool strict)
{
    std::string text = "quorvel: checked " + Counted(files, "file") + ": ";
    if (errors + warnings + unreadable == 0)
        return text + "no problems\n";
    std::vector<std::string> parts;
    if (unreadable > 0)
        parts.push_back(std::to_string(unreadable) + " cannot be read");
    if (errors > 0)
        parts.push_back(Counted(errors, "error"));
    if (warnings > 0)
        parts.push_back(Counted(warnings, "warning") + (strict ? " (--strict: they count)" : ""));
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : ", ") + parts[i];
    return text + "\n";
}

} // namespace

int CEventApp::CheckRun(const std::vector<std::string>& args)
{
    const bool strict = std::find(args.begin(), args.end(), "--strict") != args.end();
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--check" || arg == "--strict")
            continue;
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "quorvel: --check takes no %s: quorvel --check [--strict] project.qvl...\n",
                arg.c_str());
            return kExitUsage;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        std::fputs("quorvel: --check needs a project file: quorvel --check project.qvl\n", stderr);
        return kExitUsage;
    }
    int errors = 0;
    int warnings = 0;
    int unreadable = 0;
    for (const std::string& file : files) {
        const ProjectCheck check(file);
        std::fputs(check.Report().c_str(), stdout);
        unreadable += check.ReadError() != 0 ? 1 : 0;
        errors += check.ReadError() != 0 ? 0 : check.Errors();
        warnings += check.Warnings();
    }
    std::fputs(Verdict(static_cast<int>(files.size()), errors, warnings, unreadable, strict).c_str(), stdout);
    if (unreadable > 0)
        return kExitUnreadable;
    return errors > 0 || (strict && warnings > 0) ? kExitProblem : kExitOK;
}

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

int CEventApp::InitInstance(const std::vector<std::string>& given)
{
    const std::vector<std::string> args = LongForms(given);
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
    if (std::find(args.begin(), args.end(), "--check") != args.end())
        return CheckRun(args);
    if ((!args.empty() && args[0] == "status") || std::find(args.begin(), args.end(), "--status") != args.end())
        return StatusCommand(args);
    constexpr std::string_view kConsoleLines = "--console-lines=";
    constexpr std::string_view kListen = "--listen=";
    for (const std::string& arg : args) {
        if (arg.rfind(kListen, 0) == 0) {
            listen = arg.substr(kListen.size());
            ListenAddress address;
            std::string error;
            if (ListenAddress::Parse(listen, &address, &error) != 0) {
                std::fprintf(stderr, "quorvel: --listen: %s\n", error.c_str());
                return kExitUsage;
            }
            continue;
        }
        if (arg.rfind(kConsoleLines, 0) != 0) {
            ParseParam(arg);
            continue;
        }
        consoleLines = arg.substr(kConsoleLines.size());
        if (QuorvelRunner::ConsoleLinesNamed(consoleLines) < 0) {
            std::fprintf(stderr, "quorvel: --console-lines takes all, changes or none, not \"%s\"\n",
                consoleLines.c_str());
            return kExitUsage;
        }
    }
    if (consoleFlag == 0)
        return WindowRun(args);
    SettingsScope settings;
    return ConsoleRun();
}

int CEventApp::WindowRun(const std::vector<std::string>& args)
{
    // A server has the package quorvel without quorvel-gui: say where the window is first.
    const std::string program = WindowProgram();
    if (program.empty()) {
        std::fputs("quorvel: the main window is not installed (it is in the package quorvel-gui); "
                   "run a project without it: quorvel -c project.qvl\n",
                   stderr);
        return kExitUsage;
    }
    if (!HasDisplay()) {
        std::fputs("quorvel: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                   "run a project without a window with: quorvel -c project.qvl\n",
                   stderr);
        return kExitUsage;
    }
    // The window is a program of its own, so that a console run never loads the GUI libraries.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    std::fprintf(stderr, "quorvel: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return kExitUsage;
}

int CEventApp::ConsoleRun()
{
    // A reader of the output that has gone away costs the run its console lines, nothing more.
    // (A started program gets the default action back.)
    std::signal(SIGPIPE, SIG_IGN);
    for (const std::string& missing : missingFiles)
        std::fprintf(stderr, "quorvel: project file not found: %s\n", missing.c_str());
    if (!missingFiles.empty()) {
        ConsoleWrite(LoadString(IDS_CONSOLE_BANNER));
        return kExitUsage;
    }
    if (projectPath.empty()) {
        ConsoleWrite(LoadString(IDS_CONSOLE_BANNER));
        std::fputs("quorvel: no project file named; nothing to run\n", stderr);
        return kExitNothingToRun;
    }
    // What is wrong with the file comes before the run; a file that gives nothing to load at all
    // is no run.
    {
        const ProjectCheck check(projectPath);
        std::fputs(check.Report().c_str(), stderr);
        if (check.ReadError() != 0 || check.Unparsable())
            return kExitUnreadable;
    }
    ConsoleWrite(LoadString(IDS_CONSOLE_BANNER));
    QuorvelRunner project;
    project.Load(projectPath);
    if (!consoleLines.empty())
        project.consoleLines = consoleLines;
    if (!listen.empty())
        project.listen = listen;
    ResetBreak();
    SignalWatcher signals([&project] { ReopenOutputs(project); }, [&project] { ReportSoFar(project); });
    const int run = project.RunKeepingBreak(nullptr, nullptr);
    const int code = run != 0 ? kExitNothingToRun : project.reportNotWritten ? kExitReportNotWritten : kExitOK;
    ConsoleFlush(kConsoleFlushBound);
    if (project.abandonedWorkers > 0) {
        // A worker stuck in a driver after a break still uses the project: the process ends here
        // with the summary written, without destroying what that thread uses.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    return code;
}
