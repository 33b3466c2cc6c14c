#pragma once

#include <string>

// The lines that tell the operator on standard error what failed, in one form for every part of
// the program, so that a reader (or a script) finds them all alike:
//   quorvel: <project>: event <n> "<note>": <what> failed: <reason>
//   quorvel: <project>: <what happened>
// <project> is the project's name (its file's name without folder and .qvl, as the metrics label
// it). The same text (without "quorvel: ") goes to the program log, so that nothing the operator
// must know is only in one of the two. engine/FailureNotice makes the lines about an event.

// "quorvel: <project>: <text>" ("quorvel: <text>" for a project without a file).
std::string ProjectLine(const std::string& project, const std::string& text);

// Writes `line` (one of the above) to standard error in one piece, and to the program log under
// `context`.
void TellFailure(const std::string& line, const char* context);
