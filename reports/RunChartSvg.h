#pragma once

#include "reports/RunChart.h"

#include <string>

// Writes a RunChart as a self-contained SVG picture, for the summary report and the window
// alike. It reads in black and white: failed executions are crosses, actions triangles, passed
// executions bars, each outcome on a lane of its own that names it.
class RunChartSvg {
public:
    // `name` says what the picture shows, for readers that cannot see it (such as
    // "Check time of Event #1").
    static std::string Write(const RunChart& chart, const std::string& name);
};
