#include "reports/RunChartSvg.h"

#include "external/support/StrFormat.h"
#include "reports/HtmlText.h"

#include <span>
#include <vector>

namespace {

constexpr const char* kInk = "#222";
constexpr const char* kGrid = "#d8dde3";
constexpr const char* kLine = "#2d5f8a";
constexpr const char* kFailed = "#c0392b";
constexpr const char* kAction = "#b9770e";
constexpr const char* kPassed = "#2e7d32";
constexpr double kMarkSize = 3.5;
constexpr double kCharWidth = 6.6; // of a label's digit at the pictures' font size, about
constexpr size_t kMostDots = 100; // a line of fewer points shows each of them as a dot

std::string N(double value)
{
    return StrFormat("%.1f", value);
}

std::string Text(double x, double y, const char* anchor, const std::string& text)
{
    return "<text x=\"" + N(x) + "\" y=\"" + N(y) + "\" text-anchor=\"" + anchor + "\">" + HtmlEscape(text) +
        "</text>";
}

// Pieces appended one after the other: `"M" + N(x) + ...` chains make GCC 12 at -O3 warn of an
// overlapping copy inside std::string that cannot happen.
template <typename... Pieces>
std::string Joined(const Pieces&... pieces)
{
    std::string text;
    (text += ... += pieces);
    return text;
}

// One path of many small marks of one shape around the given centres.
std::string MarkPath(RunChart::Outcome shape, double x, double y)
{
    const double s = kMarkSize;
    switch (shape) {
    case RunChart::kFailed: // a cross
        return Joined("M", N(x - s), " ", N(y - s), "l", N(2 * s), " ", N(2 * s), "m0 ", N(-2 * s), "l", N(-2 * s), " ",
            N(2 * s));
    case RunChart::kActionRun: // a triangle, pointing up
        return Joined("M", N(x), " ", N(y - s), "l", N(s), " ", N(2 * s), "h", N(-2 * s), "z");
    default: // a bar
        return Joined("M", N(x), " ", N(y - s), "v", N(2 * s));
    }
}

const char* MarkColour(RunChart::Outcome shape)
{
    return shape == RunChart::kFailed ? kFailed : shape == RunChart::kActionRun ? kAction : kPassed;
}

std::string MarkStyle(RunChart::Outcome shape)
{
    const char* colour = MarkColour(shape);
    if (shape == RunChart::kActionRun)
        return std::string("fill=\"") + colour + "\" stroke=\"" + colour + "\"";
    return std::string("fill=\"none\" stroke=\"") + colour + "\" stroke-width=\"1.6\"";
}

// The marks of the plot carry a class, so that they can be told from the legend's samples.
std::string Marks(RunChart::Outcome shape, const std::string& path, bool sample = false)
{
    if (path.empty())
        return {};
    return std::string("<path") + (sample ? "" : " class=\"marks\"") + " " + MarkStyle(shape) + " d=\"" + path +
        "\"/>\n";
}

std::string Axes(const RunChart& chart)
{
    std::string svg = "<g stroke=\"" + std::string(kGrid) + "\" stroke-width=\"1\">";
    for (const RunChart::Tick& tick : chart.yTicks)
        svg += "<path d=\"M" + N(RunChart::kPlotLeft) + " " + N(tick.at) + "H" + N(chart.plotRight) + "\"/>";
    for (const RunChart::Tick& tick : chart.xTicks)
        svg += "<path d=\"M" + N(tick.at) + " " + N(RunChart::kPlotTop) + "V" + N(chart.plotBottom + 4) + "\"/>";
    svg += "</g>\n<rect x=\"" + N(RunChart::kPlotLeft) + "\" y=\"" + N(RunChart::kPlotTop) + "\" width=\"" +
        N(chart.plotRight - RunChart::kPlotLeft) + "\" height=\"" + N(chart.plotBottom - RunChart::kPlotTop) +
        "\" fill=\"none\" stroke=\"" + kInk + "\"/>\n";
    for (const RunChart::Tick& tick : chart.yTicks)
        svg += Text(RunChart::kPlotLeft - 5, tick.at + 4, "end", tick.label);
    // A label centred under its tick, unless that would cut it off at an edge of the picture.
    for (const RunChart::Tick& tick : chart.xTicks) {
        const double half = kCharWidth * static_cast<double>(tick.label.size()) / 2;
        const char* anchor = tick.at - half < 2 ? "start" : tick.at + half > chart.width - 2 ? "end" : "middle";
        svg += Text(tick.at, chart.plotBottom + 17, anchor, tick.label);
    }
    return svg + "\n";
}

// The legend, at the right of the title: a sample of each kind of mark with its name.
std::string Legend(const RunChart& chart)
{
    if (chart.kind != RunChart::Kind::CheckTime)
        return {};
    const double y = 12;
    double x = chart.plotRight - 170;
    std::string svg = "<path stroke=\"" + std::string(kLine) + "\" stroke-width=\"1.5\" d=\"M" + N(x) + " " +
        N(y) + "h18\"/>" + Text(x + 22, y + 4, "start", "check time");
    x += 104;
    svg += Marks(RunChart::kFailed, MarkPath(RunChart::kFailed, x + 4, y), true) + Text(x + 12, y + 4, "start", "failed");
    return svg;
}

// The points of `points` from each break to the next: the pieces of a line broken by pauses.
std::vector<std::span<const RunChart::Point>> Pieces(
    const std::vector<RunChart::Point>& points, const std::vector<size_t>& breaks)
{
    std::vector<std::span<const RunChart::Point>> pieces;
    size_t from = 0;
    for (const size_t to : breaks) {
        pieces.emplace_back(points.data() + from, to - from);
        from = to;
    }
    if (from < points.size())
        pieces.emplace_back(points.data() + from, points.size() - from);
    return pieces;
}

std::string Points(std::span<const RunChart::Point> points)
{
    std::string text;
    for (const RunChart::Point& point : points)
        text += N(point.x) + "," + N(point.y) + " ";
    if (!text.empty())
        text.pop_back();
    return text;
}

std::string Dot(const RunChart::Point& point)
{
    return Joined("M", N(point.x - 2), " ", N(point.y), "a2 2 0 1 0 4 0a2 2 0 1 0 -4 0");
}

std::string Plot(const RunChart& chart)
{
    std::string svg;
    std::string dots;
    if (!chart.band.empty()) {
        for (const auto piece : Pieces(chart.band, chart.bandBreaks))
            svg += "<polygon fill=\"" + std::string(kLine) + "\" stroke=\"" + kLine + "\" stroke-width=\"1\" points=\""
                + Points(piece) + "\"/>\n";
    } else {
        for (const auto piece : Pieces(chart.line, chart.lineBreaks)) {
            if (piece.size() > 1)
                svg += "<polyline fill=\"none\" stroke=\"" + std::string(kLine) + "\" stroke-width=\"1.5\" points=\""
                    + Points(piece) + "\"/>\n";
            else if (chart.line.size() > kMostDots) // a lone reading between pauses
                dots += Dot(piece.front());
        }
    }
    if (!chart.line.empty() && chart.line.size() <= kMostDots) {
        for (const RunChart::Point& point : chart.line)
            dots += Dot(point);
    }
    if (!dots.empty())
        svg += "<path fill=\"" + std::string(kLine) + "\" d=\"" + dots + "\"/>\n";
    std::string crosses;
    for (const RunChart::Point& point : chart.failed)
        crosses += MarkPath(RunChart::kFailed, point.x, point.y);
    svg += Marks(RunChart::kFailed, crosses);
    return svg;
}

std::string Strip(const RunChart& chart)
{
    std::string svg;
    for (int lane = 0; lane < RunChart::kOutcomeCount; ++lane) {
        const auto outcome = static_cast<RunChart::Outcome>(lane);
        svg += Text(RunChart::kPlotLeft - 5, chart.LaneY(outcome) + 4, "end", RunChart::OutcomeName(outcome));
        std::string path;
        for (const RunChart::Mark& mark : chart.marks) {
            if (mark.outcome == outcome)
                path += MarkPath(outcome, mark.x, chart.LaneY(outcome));
        }
        svg += Marks(outcome, path);
    }
    return svg;
}

} // namespace

std::string RunChartSvg::Write(const RunChart& chart, const std::string& name)
{
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"" + HtmlEscape(name) +
        "\" width=\"" + N(chart.width) + "\" height=\"" + N(chart.height) + "\" viewBox=\"0 0 " + N(chart.width) +
        " " + N(chart.height) + "\" font-family=\"DejaVu Sans, sans-serif\" font-size=\"11\" fill=\"" + kInk +
        "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    svg += Text(RunChart::kPlotLeft, 15, "start", chart.title) + Legend(chart) + "\n";
    svg += Axes(chart);
    svg += chart.kind == RunChart::Kind::Outcomes ? Strip(chart) : Plot(chart);
    return svg + "</svg>";
}
