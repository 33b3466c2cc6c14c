#pragma once

#include <ostream>
#include <string>

// The manual page quorvel.qvl(5): every section and key of a project file with its type, read
// default and enumeration values, taken from ProjectSchema, so that the installed page lists
// exactly what the program reads. Written as roff at build time (app/tools/qvl-man.cpp).
class ProjectManPage {
public:
    static void Write(std::ostream& out, const std::string& version);
};
