#include "ui/main/PageConsole.h"

#include "engine/FailureNotice.h"
#include "engine/RunControl.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"
#include "ui/gui/ColumnWidths.h"
#include "ui/gui/DesktopOpen.h"
#include "ui/gui/RowsModel.h"
#include "ui/gui/UserDialogs.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace {

constexpr int kDrainMs = 33;
constexpr size_t kRecentChecks = 60;
const std::initializer_list<const char*> kExecLogKeys = { "ExecLogW1", "ExecLogW2", "ExecLogW3", "ExecLogW4" };
const std::initializer_list<const char*> kActiveKeys = { "ActiveLogW1", "ActiveLogW2", "ActiveLogW3" };

QTableView* MakeList(RowsModel* model, const QString& name, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionsClickable(false);
    view->setAccessibleName(name);
    return view;
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

PageConsole::PageConsole(QWidget* parent)
    : CSmPage(parent)
    , execLog_(new RowsModel({ tr("Event definition"), tr("Note"), tr("Status"), tr("Time") }, this))
    , active_(new RowsModel(
          { tr("Event definition"), tr("Note"), tr("Status"), tr("Outcome"), tr("Value"), tr("Recent Check Times") },
          this))
    , execView_(MakeList(execLog_, tr("Execution Log"), this))
    , activeView_(MakeList(active_, tr("Active Events Status"), this))
    , droppedNote_(new QLabel(this))
{
    execLog_->SetMaxRows(SettingInt("ExecLogMaxRows", 100000));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Execution Log"), this));
    top->addStretch();
    top->addWidget(droppedNote_);
    droppedNote_->hide();
    layout->addLayout(top);
    layout->addWidget(execView_, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(tr("Active Events Status"), this));
    buttons->addStretch();
    logButton_ = AddButton(tr("Log"), &PageConsole::OnLog);
    reportButton_ = AddButton(tr("Report"), &PageConsole::OnReport);
    summaryButton_ = AddButton(tr("Summary"), &PageConsole::OnSummary);
    buttons->addWidget(logButton_);
    buttons->addWidget(reportButton_);
    buttons->addWidget(summaryButton_);
    buttons->addSpacing(40);
    breakButton_ = AddButton(tr("Break all"), &PageConsole::OnBreakAll);
    buttons->addWidget(breakButton_);
    layout->addLayout(buttons);
    layout->addWidget(activeView_, 2);
    execWidths_ = ColumnWidths::Attach(*execView_, *execView_->horizontalHeader(), kExecLogKeys);
    activeWidths_ = ColumnWidths::Attach(*activeView_, *activeView_->horizontalHeader(), kActiveKeys);
    activeView_->setItemDelegateForColumn(kRecentColumn, new SparklineDelegate(activeView_));
    breakButton_->setEnabled(false);
    drainTimer_.setInterval(kDrainMs);
    connect(&drainTimer_, &QTimer::timeout, this, &PageConsole::Drain);
}

QPushButton* PageConsole::AddButton(const QString& text, void (PageConsole::*slot)())
{
    auto* button = new QPushButton(text, this);
    button->setAccessibleName(text);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void PageConsole::Deactivate()
{
    execWidths_->Store();
    activeWidths_->Store();
    if (g_settings != nullptr)
        g_settings->SaveData();
    CSmPage::Deactivate();
}

void PageConsole::ClearLists()
{
    for (RecentChecks& recent : recent_) {
        std::lock_guard guard(recent.lock);
        recent.points = {};
        recent.changed = false;
    }
    std::lock_guard guard(lock_);
    activeRows_.clear();
    queue_.clear();
    queue_.push_back(Change {});
}

void PageConsole::EnableRunControls(bool running)
{
    // The run's thread calls this: the buttons and the timer belong to the window thread.
    QMetaObject::invokeMethod(
        this,
        [this, running] {
            Drain();
            breakButton_->setEnabled(running);
            logButton_->setEnabled(!running);
            reportButton_->setEnabled(!running);
            summaryButton_->setEnabled(!running);
            if (running)
                drainTimer_.start();
            else
                drainTimer_.stop();
        },
        Qt::QueuedConnection);
}

int PageConsole::AddActiveRow(Quorvel& event, const std::string& text)
{
    ActiveRow row { Q(event.Description(-1)), Q(event.EventNote), EventIndex(event) };
    Change change { 0, true, row.description, row.note, Q(text), Q(TimeOfDayText()), row.event };
    std::lock_guard guard(lock_);
    const int index = static_cast<int>(activeRows_.size());
    change.row = index;
    activeRows_.push_back(std::move(row));
    queue_.push_back(std::move(change));
    return index;
}

void PageConsole::SetRowStatus(int row, const std::string& text)
{
    const QString status = Q(text);
    const QString time = Q(TimeOfDayText());
    std::lock_guard guard(lock_);
    if (row < 0 || row >= static_cast<int>(activeRows_.size()))
        return;
    const ActiveRow& active = activeRows_[static_cast<size_t>(row)];
    queue_.push_back(Change { row, false, active.description, active.note, status, time, active.event });
}

void PageConsole::Executed(int row, uint32_t checkTime, bool failed)
{
    if (row < 0 || row >= kMaxEvents)
        return;
    RecentChecks& recent = recent_[static_cast<size_t>(row)];
    std::lock_guard guard(recent.lock);
    SparkPoints& points = recent.points;
    if (points.ms.size() == kRecentChecks) {
        points.ms.erase(points.ms.begin());
        points.failed.erase(points.failed.begin());
    }
    points.ms.push_back(checkTime);
    points.failed.push_back(failed ? 1 : 0);
    recent.changed = true;
}

void PageConsole::Drain()
{
    std::vector<Change> changes;
    {
        std::lock_guard guard(lock_);
        changes.swap(queue_);
    }
    if (!changes.empty())
        ApplyChanges(changes);
    ShowRecent();
    if (runner_ != nullptr && outcomes_.CopyFrom(*runner_, &outcomesSeen_)) {
        ShowOutcomes();
        emit OutcomesChanged(outcomes_);
    }
}

void PageConsole::ShowOutcomes()
{
    for (int row = 0; row < std::min(active_->rowCount(), static_cast<int>(rowEvents_.size())); ++row) {
        const int event = rowEvents_[static_cast<size_t>(row)];
        if (event < 0 || event >= static_cast<int>(outcomes_.events.size()))
            continue;
        const RunOutcomes::Event& outcome = outcomes_.events[static_cast<size_t>(event)];
        const RunOutcomes::Outcome shown = outcome.Shown();
        const bool failed = shown == RunOutcomes::Outcome::kFailed;
        active_->SetCell(row, kOutcomeColumn, RunOutcomes::Word(shown));
        active_->SetCell(row, kValueColumn, outcome.value);
        active_->SetCellData(row, kOutcomeColumn, Qt::DecorationRole, RunOutcomes::Icon(shown));
        const QColor colour = RunOutcomes::Colour(shown);
        active_->SetCellData(row, kOutcomeColumn, Qt::ForegroundRole, colour.isValid() ? QVariant(colour) : QVariant());
        QFont bold = activeView_->font();
        bold.setBold(true);
        active_->SetCellData(row, kOutcomeColumn, Qt::FontRole, failed ? QVariant(bold) : QVariant());
        active_->SetCellData(row, -1, Qt::ToolTipRole, failed ? QVariant(outcome.failure) : QVariant());
        active_->SetCellData(row, -1, Qt::AccessibleDescriptionRole, RunOutcomes::Describe(outcome));
    }
}

// The rows that ran since the last turn; a row is shown once its Add has been applied.
void PageConsole::ShowRecent()
{
    for (int row = 0; row < std::min(active_->rowCount(), kMaxEvents); ++row) {
        RecentChecks& recent = recent_[static_cast<size_t>(row)];
        SparkPoints points;
        {
            std::lock_guard guard(recent.lock);
            if (!recent.changed)
                continue;
            points = recent.points;
            recent.changed = false;
        }
        const uint32_t longest = *std::max_element(points.ms.begin(), points.ms.end());
        const auto failed = std::count(points.failed.begin(), points.failed.end(), 1);
        QString text = tr("%1 ms, max %2 ms").arg(points.ms.back()).arg(longest);
        if (failed > 0)
            text += tr("; %1 failed").arg(failed);
        active_->SetRowData(row, QVariant::fromValue(points));
        active_->SetCell(row, kRecentColumn, text);
    }
}

void PageConsole::ApplyChanges(const std::vector<Change>& changes)
{
    size_t first = 0; // after the last clear, the only changes that matter
    for (size_t i = 0; i < changes.size(); ++i) {
        if (changes[i].row < 0)
            first = i + 1;
    }
    if (first > 0) {
        execLog_->Clear();
        active_->Clear();
        rowEvents_.clear();
    }
    // When the window thread fell behind, rows that the log would drop at once are not made.
    const size_t maxRows = static_cast<size_t>(std::max(0, execLog_->MaxRows()));
    const size_t firstLogged = maxRows > 0 && changes.size() - first > maxRows ? changes.size() - maxRows : first;
    std::vector<QStringList> logRows;
    std::vector<QStringList> activeRows;
    std::map<int, QString> statuses;
    logRows.reserve(changes.size() - firstLogged);
    for (size_t i = first; i < changes.size(); ++i) {
        const Change& change = changes[i];
        if (change.added) {
            activeRows.push_back({ change.description, change.note, change.status });
            rowEvents_.push_back(change.event);
        } else if (change.row < active_->rowCount()) {
            statuses[change.row] = change.status; // the newest status of a row is all it shows
        } else { // added in this batch, not in the model yet
            activeRows[static_cast<size_t>(change.row - active_->rowCount())][2] = change.status;
        }
        if (i >= firstLogged)
            logRows.push_back({ change.description, change.note, change.status, change.time });
    }
    if (firstLogged > first)
        execLog_->CountDropped(static_cast<long long>(firstLogged - first));
    for (const auto& [row, status] : statuses)
        active_->SetCell(row, 2, status);
    active_->Append(std::move(activeRows));
    execLog_->Append(std::move(logRows));
    ShowDroppedNote();
}

void PageConsole::ShowDroppedNote()
{
    const long long dropped = execLog_->Dropped();
    droppedNote_->setVisible(dropped > 0);
    if (dropped > 0)
        droppedNote_->setText(tr("%1 older rows are not shown; the execution report keeps them all.").arg(dropped));
}

void PageConsole::OnBreakAll()
{
    BreakAll();
}

void PageConsole::OpenOutput(const std::string& property, const std::string& current, int notSet, int missing)
{
    const QString caption = QString::fromUtf8(LoadString(IDS_WARNING));
    if (property.empty())
        AskUser(this, QString::fromUtf8(LoadString(notSet)), caption, MB_OK | MB_ICONINFORMATION);
    else if (current.empty() || !QFileInfo::exists(Q(current)))
        AskUser(this, QString::fromUtf8(LoadString(missing)), caption, MB_OK | MB_ICONINFORMATION);
    else
        OpenWithDesktopOrTell(this, Q(current));
}

void PageConsole::OnLog()
{
    if (runner_ != nullptr)
        OpenOutput(runner_->logFile, runner_->currentLogFile, IDS_LOG_NOT_SET, IDS_LOG_EMPTY);
}

void PageConsole::OnReport()
{
    if (runner_ != nullptr)
        OpenOutput(runner_->reportFile, runner_->currentReportFile, IDS_REPORT_NOT_SET, IDS_REPORT_EMPTY);
}

void PageConsole::OnSummary()
{
    if (runner_ != nullptr)
        OpenOutput(runner_->summaryFile, runner_->currentSummaryFile, IDS_SUMMARY_NOT_SET, IDS_SUMMARY_NOT_CREATED);
}
