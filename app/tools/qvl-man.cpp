// Prints the manual page quorvel.qvl(5) for the version given as its one argument; the build
// runs it, so the installed page lists the keys of the program that it comes with.
#include "model/ProjectManPage.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: qvl-man VERSION\n";
        return 2;
    }
    ProjectManPage::Write(std::cout, argv[1]);
    return std::cout.flush() ? 0 : 1;
}
