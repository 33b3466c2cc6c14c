#include "reports/SummaryCharts.h"

#include "external/support/StrFormat.h"
#include "reports/AReport.h"
#include "reports/RunChart.h"
#include "reports/RunChartSvg.h"

std::vector<std::string> RunChartPictures(const RunSeries& series, int position)
{
    std::vector<std::string> pictures;
    if (series.Buckets().empty())
        return pictures;
    const std::string event = StrFormat("Event #%d", position);
    pictures.push_back(RunChartSvg::Write(RunChart::Make(RunChart::Kind::CheckTime, series), "Check time of " + event));
    if (series.HasNumbers())
        pictures.push_back(RunChartSvg::Write(RunChart::Make(RunChart::Kind::Value, series), "Check value of " + event));
    pictures.push_back(RunChartSvg::Write(RunChart::Make(RunChart::Kind::Outcomes, series), "Outcomes of " + event));
    return pictures;
}

void WriteRunCharts(AReport& report, const RunSeries& series, int position)
{
    for (const std::string& picture : RunChartPictures(series, position))
        report.Figure(picture);
}
