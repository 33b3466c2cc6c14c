#pragma once

#include <string>
#include <vector>

// Where Quorvel keeps its own files, after the XDG base directory rules:
// preferences in $XDG_CONFIG_HOME/quorvel (default ~/.config/quorvel),
// the program log in $XDG_STATE_HOME/quorvel (default ~/.local/state/quorvel).
std::string ConfigDir();
std::string StateDir();

// Where a running project keeps its status snapshot: $XDG_RUNTIME_DIR/quorvel; without that
// variable /run/quorvel when it can be written there (a service), else /tmp/quorvel-<uid>.
std::string RuntimeDir();
// Where `quorvel status` looks for snapshots, in this order: $XDG_RUNTIME_DIR/quorvel when the
// variable is set, /run/quorvel, and /tmp/quorvel-<uid> when the variable is not set.
std::vector<std::string> RuntimeDirsToRead();

// Creates `dir` and its parents; 0 on success (also when it exists), -1 otherwise.
int MakeDirs(const std::string& dir);
