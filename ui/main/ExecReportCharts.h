#pragma once

#include "model/RunSeries.h"
#include "external/support/TextLineScanner.h"

#include <QStringList>
#include <mutex>
#include <string_view>
#include <vector>

// The execution report as one run series per event, in the order the events first appear: the
// chart view of the execution report page. Lines come from a reader thread; the window thread
// takes a copy.
class ExecReportCharts {
public:
    struct Event {
        QString name;
        RunSeries series;
    };

    void Clear();
    // The header line names the columns; every further record line adds one execution.
    void AddLine(std::string_view bytes, TextEncoding encoding);
    std::vector<Event> Events() const;

private:
    // A report's date ("05-Dec-2026") and time of day (" 9:05:01.250") as Unix milliseconds in
    // local time; 0 when either does not read. Lines of one day follow each other, so the day's
    // start is worked out once.
    int64_t Moment(const QString& date, const QString& time);

    struct Columns {
        int date = 0;
        int time = 1;
        int event = 2;
        int check = 4;
        int status = 8;
    };

    mutable std::mutex lock_;
    bool headerRead_ = false;
    Columns columns_;
    std::vector<Event> events_;
    QString day_;
    int64_t dayStart_ = 0;
};
