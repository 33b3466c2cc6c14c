#pragma once

#include <string>
#include <vector>

// Starts the program of an "Exec program" action and lets it run on its own.
class ProgramLauncher {
public:
    // Splits `commandLine` with SplitCommandLine, finds the program on PATH and starts it with this
    // process's environment and current folder, standard input from /dev/null, standard output and
    // error shared with this process, no other descriptor, default signal handling and an empty
    // signal mask. Never waits for the program; ChildReaper collects it once it ends.
    // 0 once the program runs; -1 with `error` saying why it could not start (the system's text,
    // e.g. "No such file or directory", or what is wrong with the command line).
    static int Start(const std::string& commandLine, std::string* error);
    // The same for a command line already split into the program and its arguments (not empty).
    static int Start(std::vector<std::string> args, std::string* error);
};
