#pragma once

#include <string>

// Where Quorvel keeps its own files, after the XDG base directory rules:
// preferences in $XDG_CONFIG_HOME/quorvel (default ~/.config/quorvel),
// the program log in $XDG_STATE_HOME/quorvel (default ~/.local/state/quorvel).
std::string ConfigDir();
std::string StateDir();

// Creates `dir` and its parents; 0 on success (also when it exists), -1 otherwise.
int MakeDirs(const std::string& dir);
