#pragma once

#include "ui/gui/CSmPage.h"
#include "ui/gui/LineReaderThread.h"

#include <QString>
#include <QTimer>
#include <deque>
#include <mutex>

class QLabel;
class QPlainTextEdit;
class QuorvelRunner;

// A log as read-only text, scrolled to its newest line: the newest rows of the program log (mode
// 0), or the project's custom log whole (mode 1). The custom log is read on a thread of its own
// and shown in pieces, so that a log of many megabytes never holds the window up.
class PgLogView : public CSmPage {
    Q_OBJECT
public:
    PgLogView(QuorvelRunner& project, int mode, QWidget* parent = nullptr);
    ~PgLogView() override;

    void Activate() override;

    QPlainTextEdit& Text() { return *text_; }
    QString Label() const;
    // True while the log is still being read or shown.
    bool Reading() const { return drain_.isActive(); }

private:
    void ShowProgramLog();
    void ShowCustomLog();
    bool OnLine(std::string_view bytes);
    void Drain();
    void ScrollToEnd();

    QuorvelRunner& project_;
    int mode_;
    QLabel* label_;
    QPlainTextEdit* text_;
    QTimer drain_;

    // Text read and not shown yet, in pieces of about the same size.
    std::mutex pendingLock_;
    std::deque<QString> pending_;
    bool firstLine_ = true; // reader's thread while it reads
    LineReaderThread reader_; // last: stopped before the buffers above go
};
