#pragma once

#include "model/QuorvelRunner.h"

// The one project that the window edits and runs.
extern QuorvelRunner g_runner;
