#pragma once

#include <QStatusBar>
#include <QTimer>
#include <cstdint>

class QLabel;
class QPushButton;
class RunOutcomes;

// The main window's status bar: whether a run goes on and for how long, how many checks passed
// and failed, and, once something failed, a button to the program log, where the failures are
// told with their reasons.
class RunStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit RunStatusBar(QWidget* parent = nullptr);

    void ShowRun(const RunOutcomes& run);
    QString Text() const;
    QPushButton& LogButton() { return *logButton_; }

    // "1:02:03" for a time in milliseconds.
    static QString Duration(int64_t ms);

signals:
    void OpenProgramLog();

private:
    void ShowText();

    QLabel* text_;
    QPushButton* logButton_;
    QTimer clock_; // the running time, once a second
    bool seen_ = false; // a run has been shown
    bool running_ = false;
    int64_t startedMs_ = 0;
    int64_t endedMs_ = 0;
    int passed_ = 0;
    int failed_ = 0;
};
