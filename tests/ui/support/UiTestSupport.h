#pragma once

// The window's tests and the screenshots make their connections with the test services' helpers.
#include "support/TestServices.h"

#include <functional>
#include <string>

// Runs `body` as the window's test programs do: with the tests' own folders, a preference store in
// g_settings and a QApplication on the offscreen platform, so that no display is needed.
int RunWithApplication(int argc, char** argv, const std::function<int()>& body);
// Serves the window's events until `done` holds, for at most `limitMs` (a generous bound: the
// test fails, rather than hangs, when a worker never answers). True when `done` held.
bool ServeUntil(const std::function<bool()>& done, int limitMs = 60000);
// True once the window thread has served `count` ticks of a 5 ms timer: it was not blocked.
bool ServeTicks(int count);
