#include "ui/main/PageExReport.h"

#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "reports/RunChart.h"
#include "reports/RunChartSvg.h"
#include "res/Strings.h"
#include "ui/gui/ColumnWidths.h"
#include "ui/gui/SvgPicture.h"
#include "ui/gui/UserDialogs.h"
#include "ui/main/ExecReportModel.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

namespace {

constexpr int kDrainIntervalMs = 30;
constexpr int kColumnWidth = 80;
constexpr int kRowsMeasured = 50;
// Rows go in in slices of this many, slice after slice for at most kDrainBudgetMs per turn of the
// event loop, so that a turn stays short also on a machine where the window thread gets the
// processor only now and then.
constexpr size_t kRowsPerSlice = 4096;
constexpr qint64 kDrainBudgetMs = 8;
// How soon the window thread looks again when the reader holds the rows' lock.
constexpr int kRetryMs = 2;
constexpr int kChartPollMs = 100;
constexpr size_t kChartsPerTurn = 4;
// Dragging a window's edge resizes it many times a second: the charts are drawn anew only when
// the width has stayed put this long.
constexpr int kResizeRestMs = 150;

} // namespace

PageExReport::PageExReport(QuorvelRunner& project, QWidget* parent)
    : CSmPage(parent)
    , project_(project)
    , label_(new QLabel(tr("Execution Report"), this))
    , table_(new QTableView(this))
    , model_(new ExecReportModel(this))
    , chartsToggle_(new QCheckBox(tr("Show as &charts"), this))
    , views_(new QStackedWidget(this))
    , chartArea_(new QScrollArea(this))
    , chartList_(new QWidget)
{
    table_->setModel(model_);
    ColumnWidths::Attach(*table_, *table_->horizontalHeader(), {});
    table_->setAccessibleName(tr("Execution Report"));
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    // Fixed row heights: the view then never measures the rows it does not show. No row numbers:
    // their header would be measured anew as every batch of rows arrives.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    label_->setBuddy(table_);

    chartsToggle_->setAccessibleName(tr("Show as charts"));
    chartArea_->setAccessibleName(tr("Execution Report Charts"));
    chartArea_->setWidget(chartList_);
    chartArea_->setWidgetResizable(false); // the list takes the size of its pictures, see PollCharts
    chartArea_->setBackgroundRole(QPalette::Base);
    new QVBoxLayout(chartList_);
    views_->addWidget(table_);
    views_->addWidget(chartArea_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(label_);
    top->addStretch();
    top->addWidget(chartsToggle_);
    layout->addLayout(top);
    layout->addWidget(views_, 1);

    drain_.setInterval(kDrainIntervalMs);
    connect(&drain_, &QTimer::timeout, this, &PageExReport::Drain);
    chartPoll_.setInterval(kChartPollMs);
    connect(&chartPoll_, &QTimer::timeout, this, &PageExReport::PollCharts);
    connect(chartsToggle_, &QCheckBox::toggled, this, &PageExReport::ShowCharts);
    chartResize_.setSingleShot(true);
    chartResize_.setInterval(kResizeRestMs);
    connect(&chartResize_, &QTimer::timeout, this, &PageExReport::FollowWidth);
    chartArea_->viewport()->installEventFilter(this);
}

PageExReport::~PageExReport()
{
    chartReader_.Stop();
    reader_.Stop();
}

void PageExReport::ShowCharts(bool shown)
{
    views_->setCurrentIndex(shown ? 1 : 0);
    if (shown)
        ReadCharts();
}

// The charts need the whole file, so they have a reading of their own, made only when shown.
void PageExReport::ReadCharts()
{
    chartReader_.Stop();
    chartPoll_.stop();
    chartPoll_.setInterval(kChartPollMs);
    chartsTaken_ = false;
    chartEvents_.clear();
    chartPictures_.clear();
    charts_.Clear();
    if (shownPath_.empty())
        return;
    const auto sink = [this](const LineSpan&, std::string_view bytes) {
        charts_.AddLine(bytes, chartReader_.Encoding());
        return true;
    };
    if (chartReader_.Start(shownPath_, sink) == 0)
        chartPoll_.start();
}

// A few charts a turn once the file is read, so that no turn of the window thread grows long;
// after a resize, the charts already shown are drawn anew at the new width the same way.
void PageExReport::PollCharts()
{
    if (!chartReader_.Done())
        return;
    QLayout* layout = chartList_->layout();
    if (!chartsTaken_) {
        while (QLayoutItem* item = layout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        chartEvents_ = charts_.Events();
        chartPictures_.clear();
        chartsDrawn_ = 0;
        chartWidth_ = ChartWidth();
        chartsTaken_ = true;
        chartPoll_.setInterval(0);
        if (chartEvents_.empty()) {
            auto* none = new QLabel(tr("The execution report holds no executions."), chartList_);
            layout->addWidget(none);
            none->show();
        }
    }
    QElapsedTimer spent;
    spent.start();
    for (size_t n = 0; n < kChartsPerTurn && chartsDrawn_ < chartEvents_.size(); ++n) {
        if (n > 0 && spent.elapsed() >= kDrainBudgetMs)
            break; // a chart of a long run takes a while to draw: the rest come next turn
        if (chartsDrawn_ == chartPictures_.size())
            AddChart(chartEvents_[chartsDrawn_]);
        DrawChart(chartsDrawn_++);
    }
    chartList_->adjustSize(); // the pictures have fixed sizes: the list is as large as they need
    if (chartsDrawn_ == chartEvents_.size())
        chartPoll_.stop();
}

void PageExReport::AddChart(const ExecReportCharts::Event& event)
{
    auto* heading = new QLabel(event.name, chartList_);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* picture = new QLabel(chartList_);
    picture->setAccessibleName(tr("Check time of %1").arg(event.name));
    chartList_->layout()->addWidget(heading);
    chartList_->layout()->addWidget(picture);
    heading->show(); // counted by the layout at once, also while the page is hidden
    picture->show();
    chartPictures_.push_back(picture);
}

void PageExReport::DrawChart(size_t at)
{
    QLabel* picture = chartPictures_[at];
    const RunChart chart = RunChart::Make(RunChart::Kind::CheckTime, chartEvents_[at].series, chartWidth_);
    const QImage image
        = SvgPicture(RunChartSvg::Write(chart, picture->accessibleName().toStdString()), devicePixelRatioF());
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setFixedSize(image.deviceIndependentSize().toSize());
}

// The width of the page less the list's margins: the charts fill it without a horizontal scroll
// bar, down to the narrowest that still reads.
int PageExReport::ChartWidth() const
{
    const QMargins margins = chartList_->layout()->contentsMargins();
    return std::max(
        static_cast<int>(RunChart::kMinWidth), chartArea_->viewport()->width() - margins.left() - margins.right());
}

bool PageExReport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chartArea_->viewport() && event->type() == QEvent::Resize)
        chartResize_.start();
    return CSmPage::eventFilter(watched, event);
}

void PageExReport::FollowWidth()
{
    const int width = ChartWidth();
    if (!chartsTaken_ || width == chartWidth_)
        return;
    chartWidth_ = width;
    chartsDrawn_ = 0;
    chartPoll_.setInterval(0);
    chartPoll_.start();
}

void PageExReport::Activate()
{
    CSmPage::Activate();
    reader_.Stop();
    drain_.stop();
    std::string reportFile, path;
    {
        std::lock_guard guard(project_.lock); // a run may be writing the report right now
        reportFile = project_.reportFile;
        path = project_.currentReportFile;
    }
    if (reportFile.empty() || path.empty() || !QFileInfo::exists(QString::fromStdString(path))) {
        AskUser(this, tr("Execution report is not created or even not specified in the project properties."),
            QString::fromUtf8(LoadString(IDS_WARNING)), MB_ICONERROR);
        return;
    }
    {
        std::lock_guard guard(pendingLock_);
        pendingColumns_.clear();
        pendingRows_.clear();
    }
    headerRead_ = false;
    backlog_.clear();
    backlogAt_ = 0;
    if (reader_.Start(path, [this](const LineSpan& span, std::string_view bytes) { return OnLine(span, bytes); }) != 0)
        return; // the table stays as it was
    model_->Reset(QString::fromStdString(path), reader_.Encoding());
    drain_.start();
    shownPath_ = path;
    if (chartsToggle_->isChecked())
        ReadCharts();
}

// Reader's thread.
bool PageExReport::OnLine(const LineSpan& span, std::string_view bytes)
{
    if (!headerRead_) {
        headerRead_ = true;
        QStringList columns = ExecReportModel::SplitLine(bytes, reader_.Encoding());
        std::lock_guard guard(pendingLock_);
        pendingColumns_ = std::move(columns);
        return true;
    }
    if (!IsRecordLine(bytes, reader_.Encoding()))
        return true;
    std::lock_guard guard(pendingLock_);
    pendingRows_.push_back(span);
    return true;
}

// The first rows show with their columns as wide as they need (later ones widen them as they come),
// the last column taking what is left.
void PageExReport::FitColumns()
{
    if (auto* widths = table_->horizontalHeader()->findChild<ColumnWidths*>())
        widths->FitContent();
}

void PageExReport::Drain()
{
    const bool finished = reader_.Done(); // before taking: everything read by then is taken below
    const bool takeMore = backlogAt_ == backlog_.size();
    if (takeMore) {
        // The reader runs at a lower priority and may be held up with the lock in hand on a busy
        // machine: the window thread never waits for it, it comes back for the rows a little later.
        std::unique_lock guard(pendingLock_, std::try_to_lock);
        if (!guard.owns_lock()) {
            drain_.setInterval(kRetryMs);
            return;
        }
        QStringList columns;
        backlog_.clear();
        backlogAt_ = 0;
        columns.swap(pendingColumns_);
        backlog_.swap(pendingRows_);
        guard.unlock();
        if (!columns.isEmpty())
            model_->SetColumns(columns);
    }
    // A bounded time per turn, so that every turn of the window thread stays short.
    QElapsedTimer spent;
    spent.start();
    while (backlogAt_ < backlog_.size() && spent.elapsed() < kDrainBudgetMs) {
        const size_t count = std::min(backlog_.size() - backlogAt_, kRowsPerSlice);
        const bool first = model_->rowCount() == 0;
        model_->AppendRows(std::span(backlog_).subspan(backlogAt_, count));
        backlogAt_ += count;
        if (first) {
            FitColumns();
            break; // the first rows show at once
        }
    }
    const bool more = backlogAt_ < backlog_.size();
    drain_.setInterval(more ? 0 : kDrainIntervalMs);
    if (finished && takeMore && !more)
        drain_.stop();
}
