#pragma once

#include <string>

class MultiReport;
class Quorvel;

// The parts that the project report and the summary report share.

// Opens `report` on `path` with the program's head fields and writes the title. When the file
// cannot be created, tells the user (the path as caption) and returns false; nothing is written.
bool BeginReport(MultiReport& report, const std::string& title, const std::string& path);

// The anchor of the event at 1-based `position` in the project's list; the numbers keep the
// list positions whatever a report leaves out.
std::string EventAnchor(int position);

// Starts the section of the event at 1-based `position`: anchor, heading, the event's note when
// it has one, and its table with the header row `firstColumn` / "Value". The caller writes the
// rows and ends the table.
void BeginEventSection(MultiReport& report, int position, const Quorvel& event, const char* firstColumn);
