#pragma once

#include <string>
#include <vector>

// The application: the command line, the console-mode run and the hand-over to the window.
class CEventApp {
public:
    // The whole start-up sequence; returns the process's exit status: 0 after a run (or --help,
    // --version), 1 when there was nothing to run, 2 for a bad command line or a missing,
    // unreadable or unparsable project. With --check: 0 when every file named is sound, 1 when
    // one has a problem (a warning too with --strict), 2 when one cannot be read.
    int InitInstance(const std::vector<std::string>& args);

    // One command-line parameter. Switches begin with "-" or "/" and only their second character
    // counts (case-sensitive): c console run, r run at start, q quit after the run; any other
    // switch is ignored. Any other parameter names the project when such a file or folder exists;
    // a later one replaces an earlier one.
    void ParseParam(const std::string& param);

    int consoleFlag = 0;
    int runFlag = 0;
    int quitFlag = 0;
    std::string projectPath;                // the first entry of the parameter list
    std::vector<std::string> missingFiles; // parameters that named no existing file
    std::string consoleLines;              // --console-lines=WORD: wins over the project and the preference
    std::string listen;                    // --listen=HOST:PORT: wins over the project's Listen

private:
    int ConsoleRun();
    // --check [--strict] file...: every problem of every file, then a verdict line.
    int CheckRun(const std::vector<std::string>& args);
    // Hands over to the window program; returns only when that cannot start.
    int WindowRun(const std::vector<std::string>& args);
};
