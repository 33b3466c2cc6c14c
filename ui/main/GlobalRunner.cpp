#include "ui/main/GlobalRunner.h"

QuorvelRunner g_runner;
