#pragma once

#include "engine/StatusPage.h"
#include "ui/gui/CSmPage.h"
#include "ui/gui/SparklineDelegate.h"
#include "ui/main/RunOutcomes.h"

#include "model/EventTypes.h"

#include <QStringList>
#include <QTimer>
#include <array>
#include <mutex>
#include <vector>

class ColumnWidths;
class QLabel;
class QPushButton;
class QTableView;
class QuorvelRunner;
class RowsModel;

// The execution console: the execution log (one row per status change) above, the active
// events (one row per running event with its latest status, outcome and value) below, and the
// buttons that open the run's files or break it. Workers never wait for the window thread here: their calls only add
// to a queue under the page's lock, which the window thread drains about 30 times a second.
class PageConsole : public CSmPage, public StatusPage {
    Q_OBJECT
public:
    explicit PageConsole(QWidget* parent = nullptr);

    void SetRunner(QuorvelRunner& runner) { runner_ = &runner; }
    void Deactivate() override;

    void ClearLists() override;
    void EnableRunControls(bool running) override;
    int AddActiveRow(Quorvel& event, const std::string& text) override;
    void SetRowStatus(int row, const std::string& text) override;
    void Executed(int row, uint32_t checkTime, bool failed) override;
    void KeepAlive() override { }

    // Applies every queued change now (the timer does it while a run lasts).
    void Drain();
    RowsModel& ExecLog() { return *execLog_; }
    RowsModel& Active() { return *active_; }
    QTableView& ExecLogView() { return *execView_; }
    QTableView& ActiveView() { return *activeView_; }
    const RunOutcomes& Outcomes() const { return outcomes_; }

    static constexpr int kOutcomeColumn = 3;
    static constexpr int kValueColumn = 4;
    static constexpr int kRecentColumn = 5;

signals:
    // The run's outcomes changed (copied in the drain, on the window thread).
    void OutcomesChanged(const RunOutcomes& run);

private:
    struct Change {
        int row = -1; // the active row; -1 clears both lists
        bool added = false;
        QString description;
        QString note;
        QString status;
        QString time;
        int event = -1; // the event's index in the project
    };
    struct ActiveRow {
        QString description;
        QString note;
        int event = -1;
    };

    QPushButton* AddButton(const QString& text, void (PageConsole::*slot)());
    void ApplyChanges(const std::vector<Change>& changes);
    void ShowRecent();
    void ShowOutcomes();
    void ShowDroppedNote();
    void OnBreakAll();
    void OnLog();
    void OnReport();
    void OnSummary();
    void OpenOutput(const std::string& property, const std::string& current, int notSet, int missing);

    QuorvelRunner* runner_ = nullptr;
    RowsModel* execLog_;
    RowsModel* active_;
    QTableView* execView_;
    QTableView* activeView_;
    QLabel* droppedNote_;
    QPushButton* logButton_;
    QPushButton* reportButton_;
    QPushButton* summaryButton_;
    QPushButton* breakButton_;
    QTimer drainTimer_;
    ColumnWidths* execWidths_ = nullptr;
    ColumnWidths* activeWidths_ = nullptr;
    std::vector<int> rowEvents_; // window thread: the event of each row of the active list
    RunOutcomes outcomes_;
    uint64_t outcomesSeen_ = 0; // the project's status changes at the last copy

    std::mutex lock_; // the queue and the workers' copy of the active rows
    std::vector<Change> queue_;
    std::vector<ActiveRow> activeRows_;

    // The latest check times of each active row, for its sparkline. Each row has a lock of its
    // own, so that the workers, which report every execution, never contend for the page's lock.
    struct RecentChecks {
        std::mutex lock;
        SparkPoints points;
        bool changed = false;
    };
    std::array<RecentChecks, kMaxEvents> recent_;
};
