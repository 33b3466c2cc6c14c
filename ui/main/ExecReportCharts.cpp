#include "ui/main/ExecReportCharts.h"

#include "ui/main/ExecReportModel.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <algorithm>

namespace {

int ColumnOf(const QStringList& header, const char* title, int fallback)
{
    const qsizetype at = header.indexOf(QString::fromLatin1(title));
    return at < 0 ? fallback : static_cast<int>(at);
}

} // namespace

void ExecReportCharts::Clear()
{
    std::lock_guard guard(lock_);
    headerRead_ = false;
    columns_ = Columns {};
    events_.clear();
    day_.clear();
}

int64_t ExecReportCharts::Moment(const QString& date, const QString& time)
{
    const QTime clock = QTime::fromString(time.trimmed(), QStringLiteral("H:mm:ss.zzz"));
    if (!clock.isValid())
        return 0;
    if (date != day_) {
        const QDate day = QLocale::c().toDate(date.trimmed(), QStringLiteral("dd-MMM-yyyy"));
        day_ = date;
        dayStart_ = day.isValid() ? day.startOfDay().toMSecsSinceEpoch() : 0;
    }
    return dayStart_ == 0 ? 0 : dayStart_ + clock.msecsSinceStartOfDay();
}

void ExecReportCharts::AddLine(std::string_view bytes, TextEncoding encoding)
{
    const QStringList fields = ExecReportModel::SplitLine(bytes, encoding);
    std::lock_guard guard(lock_);
    if (!headerRead_) {
        headerRead_ = true;
        columns_ = { ColumnOf(fields, "Date", 0), ColumnOf(fields, "Time", 1), ColumnOf(fields, "Event", 2),
            ColumnOf(fields, "Check time (ms)", 4), ColumnOf(fields, "Status", 8) };
        return;
    }
    const int last = std::max({ columns_.date, columns_.time, columns_.event, columns_.check, columns_.status });
    if (fields.size() <= last)
        return;
    ExecRecord record;
    bool ok = false;
    record.checkTime = fields[columns_.check].toUInt(&ok);
    if (!ok)
        return;
    record.status = fields[columns_.status].toStdString();
    record.endMs = Moment(fields[columns_.date], fields[columns_.time]);
    const QString& name = fields[columns_.event];
    auto event = std::find_if(events_.begin(), events_.end(), [&](const Event& e) { return e.name == name; });
    if (event == events_.end())
        event = events_.insert(events_.end(), Event { name, {} });
    event->series.Add(record);
}

std::vector<ExecReportCharts::Event> ExecReportCharts::Events() const
{
    std::lock_guard guard(lock_);
    return events_;
}
