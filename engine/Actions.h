#pragma once

#include <string>

struct Iteration;
class Quorvel;

// The actions of an iteration. Each returns true on success; a failure has been logged where
// the action logs one. The SQL action leaves the statement it ran in `it.actionText`.
bool RunSqlAction(Quorvel& event, Iteration& it);
// `state` replaces every "$STATE$", and the event's value every "$VALUE$", inside the words of the
// command line once it is split, so that no text put in can split, join or quote words. At most
// kProgramsPerEvent programs of one event run at a time; past that the action waits a moment for
// one to end, then fails. A program that exits with a status other than 0, or is ended by a
// signal, is told on standard error and in the program log once it has ended, with the first line
// of its standard error.
bool RunProgramAction(Quorvel& event, const std::string& state);
constexpr int kProgramsPerEvent = 8;

// `statement` with every `macro` replaced by `text`. Inside a quoted SQL literal the text's
// single quotes are doubled, so that a text can never end the literal; elsewhere it goes in as
// it is.
std::string SubstituteMacro(const std::string& statement, const std::string& macro, const std::string& text);
// SubstituteMacro for "$VALUE$".
std::string SubstituteValue(const std::string& statement, const std::string& value);
