#pragma once

#include "ui/gui/CSmPage.h"
#include "ui/gui/LineReaderThread.h"
#include "ui/main/ExecReportCharts.h"

#include <QStringList>
#include <QTimer>
#include <mutex>
#include <vector>

class ExecReportModel;
class QCheckBox;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QTableView;
class QuorvelRunner;

// The execution report of the project as a table, read afresh at every showing, or as a chart of
// each event's check times. The file is read on a thread of its own; the rows arrive in the table
// while it is read, the charts when it has been read.
class PageExReport : public CSmPage {
    Q_OBJECT
public:
    explicit PageExReport(QuorvelRunner& project, QWidget* parent = nullptr);
    ~PageExReport() override;

    void Activate() override;

    ExecReportModel& Model() { return *model_; }
    QTableView& Table() { return *table_; }
    // True while the file is still being read.
    bool Reading() const { return drain_.isActive(); }
    QCheckBox& ChartsToggle() { return *chartsToggle_; }
    // The chart view: a picture per event, each after a label with the event's name.
    QWidget& ChartList() { return *chartList_; }
    bool ChartsReading() const { return chartPoll_.isActive() || chartResize_.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnLine(const LineSpan& span, std::string_view bytes);
    void Drain();
    void FitColumns();
    void ShowCharts(bool shown);
    void ReadCharts();
    void PollCharts();
    void AddChart(const ExecReportCharts::Event& event);
    void DrawChart(size_t at);
    void FollowWidth();
    int ChartWidth() const;

    QuorvelRunner& project_;
    QLabel* label_;
    QTableView* table_;
    ExecReportModel* model_;
    QTimer drain_;
    QCheckBox* chartsToggle_;
    QStackedWidget* views_;
    QScrollArea* chartArea_;
    QWidget* chartList_;
    std::string shownPath_; // the report of the last showing
    QTimer chartPoll_;
    std::vector<ExecReportCharts::Event> chartEvents_;
    std::vector<QLabel*> chartPictures_; // of the charts shown so far
    size_t chartsDrawn_ = 0;              // of those, drawn at chartWidth_
    int chartWidth_ = 0;
    QTimer chartResize_; // a resize redraws the charts once it has come to rest
    bool chartsTaken_ = false;

    // Filled by the reader, emptied by Drain on the window thread.
    std::mutex pendingLock_;
    bool headerRead_ = false; // reader's thread only
    QStringList pendingColumns_;
    std::vector<LineSpan> pendingRows_;
    // Rows taken from the reader and not yet in the table (window thread).
    std::vector<LineSpan> backlog_;
    size_t backlogAt_ = 0;
    ExecReportCharts charts_;
    LineReaderThread reader_; // last: stopped before the buffers above go
    LineReaderThread chartReader_;
};
