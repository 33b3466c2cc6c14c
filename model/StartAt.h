#pragma once

#include <ctime>
#include <string>

// The wait before a start at a time of day ("HH:MM:SS", each part a decimal number, no range
// check: "25:00:00" means one o'clock the next morning). A time that has passed today starts at
// once (0 ms). Returns 0 with `delayMs` set, or -1 when the text has not two colons with a number
// before the first.
int StartAtDelay(const std::string& startAt, const std::tm& now, int* delayMs);
