#pragma once

#include <string>

// The program log: one line per entry with time, context, message and source, appended to
// $XDG_STATE_HOME/quorvel/quorvel.log, which moves to quorvel.log.1 once it is larger than the
// preference "LogMaxKB" (see LogFile.h). Safe to call from any thread and any number of processes.
class CLog {
public:
    static void Bug(const std::string& message, const char* context = nullptr, const char* file = nullptr,
                    int line = 0);

    // While it lives, the calling thread's entries name `label` (an event: `event 3 "open orders"`)
    // after their message, unless the message names it already.
    class Scope {
    public:
        explicit Scope(std::string label);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::string label_;
        const std::string* outer_;
    };

    // The message of the calling thread's latest entry since ForgetLastMessage: the driver's or the
    // system's own words on why a step of that thread failed.
    static const std::string& LastMessage();
    static void ForgetLastMessage();

    // The text of the calling thread's errno.
    static void FormatLastError(std::string& out, int n);

    // The newest entries, oldest first, one per line.
    static std::string GetLastRows();

    static std::string VersionStr(int);

    // The log file's path; an empty path restores the XDG default. Tests point it elsewhere.
    static void SetPath(const std::string& path);
    static std::string Path();

    // Empties the log file (the window's "Log file -> Truncate"). 0 on success, -1 when the file
    // exists and cannot be emptied.
    static int Truncate();
};
