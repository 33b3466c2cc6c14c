// Test and benchmark programs live below the build folder, away from the modules beside
// `quorvel`: point the module search at them before main runs. A folder set by whoever started
// the program wins.
#include <cstdlib>

namespace {

const int kModuleDirSet = ::setenv("QUORVEL_MODULE_DIR", QUORVEL_MODULE_DIR_FOR_TESTS, 0);

} // namespace
