#pragma once

#include <string>
#include <vector>

class AReport;
class RunSeries;

// The pictures of an event's run in the summary report, in the order they stand there: the check
// time of every execution, the check's value when it was a number, and the strip of outcomes.
// Each is an SVG document; none for an event without executions.
std::vector<std::string> RunChartPictures(const RunSeries& series, int position);

// Writes those pictures into the event's section.
void WriteRunCharts(AReport& report, const RunSeries& series, int position);
