#pragma once

#include <string>
#include <vector>

// `quorvel status [--json] [project.qvl...]`: the projects that run on this machine, read from
// the status snapshots in the runtime folders (RuntimeDirsToRead); named project files restrict
// the list to theirs. Returns the exit status: 0 when every shown event's latest check passed, 1
// when one failed, 2 for a bad command line, 3 when no project runs.
int StatusCommand(const std::vector<std::string>& args);
