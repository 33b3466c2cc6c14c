#pragma once

#include <string>
#include <string_view>

class Quorvel;

// The texts of an event that stay the same for a whole run (its description, its note, the
// name that the execution report gives it), made once when its worker thread starts instead of
// at every console line and report line. While an object lives, the thread that made it uses its
// texts for that event; elsewhere (a test calling one step, an event edited between calls) they
// are made from the definition at each call.
class RunTexts {
public:
    explicit RunTexts(const Quorvel& event);
    ~RunTexts();
    RunTexts(const RunTexts&) = delete;
    RunTexts& operator=(const RunTexts&) = delete;

    // Appends ": <description> (<note>) -> ", the middle of a console line, on that one line.
    static void AppendStatusMiddle(std::string& out, const Quorvel& event);
    // Appends the Event column of the execution report: the note, or the description without one.
    static void AppendReportName(std::string& out, const Quorvel& event);

private:
    static const RunTexts* Made(const Quorvel& event);
    static std::string StatusMiddle(const Quorvel& event);
    static std::string ReportName(const Quorvel& event);

    const Quorvel& event_;
    const std::string statusMiddle_;
    const std::string reportName_;
    const RunTexts* outer_;
};

// Appends `text` as one field of the execution report: tabs, line breaks, NUL and the other control
// characters inside it would split the report's columns or lines, or make it a binary file to the
// tools that read it, so they become blanks (AppendOneLine).
void AppendReportField(std::string& out, std::string_view text);
