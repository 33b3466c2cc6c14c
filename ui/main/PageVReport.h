#pragma once

#include "ui/gui/CSmPage.h"

#include <QString>

class QLabel;
class QTextBrowser;
class QuorvelRunner;

// An HTML report of the project: the project report (mode 1), written afresh at every showing so
// that it shows the definitions as they are now, unsaved changes included; or the summary report
// of the last run (mode 0).
class PageVReport : public CSmPage {
    Q_OBJECT
public:
    PageVReport(QuorvelRunner& project, int mode, QWidget* parent = nullptr);

    void Activate() override;
    // A run has ended while the page is shown: the summary page shows the run's summary. Nothing is
    // said when there is none; the page said so when it was shown.
    void RunEnded();

    QTextBrowser& Browser() { return *browser_; }
    QString Label() const;
    // Where the project report is written: a file in this process's private temporary folder.
    static QString ProjectReportPath();

private:
    // The report to show, or an empty path after telling the user why there is none (when `tell`).
    QString ReportPath(bool tell = true);
    void Show(const QString& path);

    QuorvelRunner& project_;
    int mode_;
    QLabel* label_;
    QTextBrowser* browser_;
};
