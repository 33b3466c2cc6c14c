#pragma once

#include <string>

struct Iteration;
class Quorvel;

// The actions of an iteration. Each returns true on success; a failure has been logged where
// the action logs one. The SQL action leaves the statement it ran in `it.actionText`.
bool RunSqlAction(Quorvel& event, Iteration& it);
bool RunProgramAction(Quorvel& event);

// `statement` with every "$VALUE$" replaced by `value`. Inside a quoted SQL literal the value's
// single quotes are doubled, so that a value can never end the literal; elsewhere it goes in as
// it is.
std::string SubstituteValue(const std::string& statement, const std::string& value);
