#include "ui/main/PageExReport.h"

#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"
#include "ui/gui/UserDialogs.h"
#include "ui/main/ExecReportModel.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

namespace {

constexpr int kDrainIntervalMs = 30;
constexpr int kColumnWidth = 80;
constexpr int kWidestColumn = 420;
constexpr int kRowsMeasured = 50;
// Rows go in in slices of this many, slice after slice for at most kDrainBudgetMs per turn of the
// event loop, so that a turn stays short also on a machine where the window thread gets the
// processor only now and then.
constexpr size_t kRowsPerSlice = 4096;
constexpr qint64 kDrainBudgetMs = 8;
// How soon the window thread looks again when the reader holds the rows' lock.
constexpr int kRetryMs = 2;

} // namespace

PageExReport::PageExReport(QuorvelRunner& project, QWidget* parent)
    : CSmPage(parent)
    , project_(project)
    , label_(new QLabel(tr("Execution Report"), this))
    , table_(new QTableView(this))
    , model_(new ExecReportModel(this))
{
    table_->setModel(model_);
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(table_, 1);

    drain_.setInterval(kDrainIntervalMs);
    connect(&drain_, &QTimer::timeout, this, &PageExReport::Drain);
}

PageExReport::~PageExReport()
{
    reader_.Stop();
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

// Columns are at least 80 pixels wide and as wide as the header and the first rows need, so that
// dates and event names are not cut off; a long statement does not push the others out of view.
void PageExReport::FitColumns()
{
    for (int column = 0; column < model_->columnCount(); ++column) {
        table_->resizeColumnToContents(column); // the header and the first rows
        table_->setColumnWidth(column, std::clamp(table_->columnWidth(column), kColumnWidth, kWidestColumn));
    }
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
