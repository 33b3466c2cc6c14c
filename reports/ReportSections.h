#pragma once

#include <string>

class AReport;
class MultiReport;
class Quorvel;

// The parts that the project report and the summary report share.

// Opens `report` on `path` with the program's head fields and writes the title. When the file
// cannot be created, tells the user in a box (the path as caption) unless `box` is false, and
// returns false; nothing is written.
bool BeginReport(MultiReport& report, const std::string& title, const std::string& path, bool box = true);

// Starts the section of the event at 1-based `position` in the project's list (its anchor and
// heading keep that number whatever a report leaves out): anchor, heading, the event's note when
// it has one, and its table with the header row `firstColumn` / "Value". The caller writes the
// rows and ends the table.
void BeginEventSection(AReport& report, int position, const Quorvel& event, const char* firstColumn);
