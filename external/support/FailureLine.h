#pragma once

#include <string>

// The lines that tell the operator on standard error what failed, in one form for every part of
// the program, so that a reader (or a script) finds them all alike:
//   quorvel: <project>: event <n> "<note>": <what> failed: <reason>
//   quorvel: <project>: <what happened>
// <project> is the project file's name as it was given. The same text (without "quorvel: ") goes to
// the program log, so that nothing the operator must know is only in one of the two.

// "quorvel: <project>: <text>" ("quorvel: <text>" for a project without a file).
std::string ProjectLine(const std::string& project, const std::string& text);

// "quorvel: <project>: event <n> "<note>": <what> failed: <reason>"; `event` is 1-based; the
// note and the reason are flattened to one line.
std::string EventFailureLine(
    const std::string& project, int event, const std::string& note, const std::string& what, const std::string& reason);

// Writes `line` (one of the above) to standard error in one piece, and to the program log under
// `context`.
void TellFailure(const std::string& line, const char* context);
