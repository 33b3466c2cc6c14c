#pragma once

#include "engine/ChildReaper.h"

#include <string>
#include <vector>

// Starts the program of an "Exec program" action and lets it run on its own.
class ProgramLauncher {
public:
    // Splits `commandLine` with SplitCommandLine, finds the program on PATH and starts it with this
    // process's environment and current folder, standard input and output on /dev/null, standard
    // error on a pipe that ChildReaper reads, no other descriptor, default signal handling and an
    // empty signal mask: nothing it prints gets into this program's output. Never waits for the
    // program; ChildReaper collects it once it ends and then calls `onEnd` (on its thread) with
    // how it ended and the first line of its standard error.
    // A running program holds two descriptors of this process (its pidfd and its pipe) until it
    // ends; a program is not started when that would leave fewer than kSpareDescriptors free, so
    // that the reports, the logs and the summary can always open their files.
    // 0 once the program runs; -1 with `error` saying why it could not start (the system's text,
    // e.g. "No such file or directory", or what is wrong with the command line).
    static int Start(const std::string& commandLine, std::string* error, ChildReaper::OnEnd onEnd = nullptr);
    // The same for a command line already split into the program and its arguments (not empty).
    static int Start(std::vector<std::string> args, std::string* error, ChildReaper::OnEnd onEnd = nullptr);

    static constexpr int kSpareDescriptors = 32;
};
