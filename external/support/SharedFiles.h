#pragma once

#include <string>

// The path of a file that ships with the program (the report head template "head.htm", the help
// pages "help/index.html", ...): beside the program in the build tree, or in the installed data
// folder. Empty when it is in neither.
std::string SharedFilePath(const std::string& name);

// The folder of the running executable.
std::string ProgramFolder();
