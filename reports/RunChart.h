#pragma once

#include "model/RunSeries.h"

#include <string>
#include <vector>

// Where a chart of an event's run puts its marks, in picture units (one unit is one pixel of
// the picture at its natural size): the plot area, the ticks of both axes, and for every pixel
// column of the plot at most its smallest and its largest reading, so that a run of any length
// draws a bounded number of points. Time runs along the horizontal axis; a run whose executions
// carry no times (or all the same one) is spread by execution instead. A pause much longer than
// the event's usual spacing (such as the time between two runs written to one report) breaks the
// line, so that no reading is drawn where there was none.
class RunChart {
public:
    enum class Kind { CheckTime, Value, Outcomes };
    enum Outcome { kPassed, kFailed, kActionRun, kOutcomeCount };

    struct Point {
        double x = 0;
        double y = 0;
    };
    struct Tick {
        double at = 0; // x of a time tick, y of a value tick
        std::string label;
    };
    struct Mark {
        double x = 0;
        Outcome outcome = kPassed;
    };

    static constexpr double kWidth = 640;
    static constexpr double kMinWidth = 360;
    static constexpr double kPlotLeft = 76;
    static constexpr double kRightSpace = 16; // between the plot and the picture's right edge
    static constexpr double kPlotTop = 26;
    static constexpr double kInset = 6; // between the frame and the marks nearest to it

    // `width`: of the whole picture, at least kMinWidth.
    static RunChart Make(Kind kind, const RunSeries& series, double width = kWidth);
    // The x of a place along the run, from 0 (its start) to 1 (its end).
    double X(double part) const;

    static const char* OutcomeName(Outcome outcome);
    // The middle of an outcome's lane in an outcome strip.
    double LaneY(Outcome outcome) const;

    Kind kind = Kind::CheckTime;
    std::string title;
    double width = kWidth;
    double plotRight = kWidth - kRightSpace;
    double height = 0;
    double plotBottom = 0;
    std::vector<Point> line;   // check times or values, left to right
    // When some pixel column holds several readings: the outline of the range the readings
    // cover, the highest of each column left to right and then the lowest back. A web browser
    // draws a dense line quickly; the window's SVG module strokes the zigzag of a long run very
    // slowly, a filled outline fast.
    std::vector<Point> band;
    // Where the line and the band start anew after a pause: indices into `line` and `band`.
    std::vector<size_t> lineBreaks;
    std::vector<size_t> bandBreaks;
    std::vector<Point> failed; // failed executions, at their check time
    std::vector<Mark> marks;   // the outcome strip: what happened in each column
    std::vector<Tick> xTicks;
    std::vector<Tick> yTicks;

private:
    struct Spot;

    void Place(const RunSeries& series);
    void ValueAxis(double low, double high, const char* unit, bool whole);
    void TimeAxis(const RunSeries& series, bool byTime);
    std::vector<Spot> Spots(const RunSeries& series, bool byTime) const;
    double PlotWidth() const;
    double Y(double value) const;

    double low_ = 0;
    double high_ = 1;
};
