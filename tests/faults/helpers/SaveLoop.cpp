// Loads a project and saves it to the same file again and again until it is killed. The fault
// tests kill it at random moments to see what a crash in the middle of a save leaves behind.
//
//   save_loop PROJECT     prints "loaded" once the project is in memory, then saves for ever

#include "model/QuorvelRunner.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: save_loop PROJECT\n", stderr);
        return 2;
    }
    QuorvelRunner project;
    project.Load(argv[1]);
    if (project.Count() == 0) {
        std::fprintf(stderr, "save_loop: %s holds no events\n", argv[1]);
        return 1;
    }
    std::puts("loaded");
    std::fflush(stdout);
    for (;;) {
        if (project.Save(argv[1]) != 0) {
            std::fprintf(stderr, "save_loop: cannot save %s\n", argv[1]);
            return 1;
        }
    }
}
