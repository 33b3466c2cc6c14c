#include "ui/main/PgLogView.h"

#include "external/support/CLog.h"
#include "model/QuorvelRunner.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

constexpr int kDrainIntervalMs = 30;
// Time the window thread spends adding text per tick, so that it keeps serving events, and the
// pieces it adds: a piece costs up to 4 ms, so a turn stays under about 8 ms of processor time. On
// a machine whose other programs take most of it, that time stretches by their share: a budget of
// 10 ms with pieces of 8 K characters made turns of 80 ms there.
constexpr int kDrainBudgetMs = 4;
constexpr qsizetype kPieceChars = 4 * 1024;
// How soon the window thread looks again when the reader holds the text's lock.
constexpr int kRetryMs = 2;

} // namespace

PgLogView::PgLogView(QuorvelRunner& project, int mode, QWidget* parent)
    : CSmPage(parent)
    , project_(project)
    , mode_(mode)
    , label_(new QLabel(this))
    , text_(new QPlainTextEdit(this))
{
    label_->setWordWrap(true);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setUndoRedoEnabled(false);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // log columns line up
    text_->setAccessibleName(mode_ == 0 ? tr("Program Log") : tr("Execution Log"));
    // A read-only text still takes the keyboard, so the log can be scrolled and copied from.
    text_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(text_, 1);

    drain_.setInterval(kDrainIntervalMs);
    connect(&drain_, &QTimer::timeout, this, &PgLogView::Drain);
}

PgLogView::~PgLogView()
{
    reader_.Stop();
}

QString PgLogView::Label() const
{
    return label_->text();
}

void PgLogView::Activate()
{
    CSmPage::Activate();
    reader_.Stop();
    drain_.stop();
    {
        std::lock_guard guard(pendingLock_);
        pending_.clear();
    }
    if (mode_ == 0)
        ShowProgramLog();
    else
        ShowCustomLog();
}

void PgLogView::ShowProgramLog()
{
    label_->setText(
        tr("This window shows the last log rows only. Use menu Tools->Log file->View to view complete one."));
    text_->setPlainText(QString::fromStdString(CLog::GetLastRows()));
    ScrollToEnd();
}

void PgLogView::ShowCustomLog()
{
    label_->setText(tr("Execution Log"));
    std::string path;
    {
        std::lock_guard guard(project_.lock); // a run may be writing the log right now
        path = project_.currentLogFile;
    }
    text_->clear();
    firstLine_ = true;
    const bool exists = !path.empty() && QFileInfo::exists(QString::fromStdString(path));
    if (!exists
        || reader_.Start(path, [this](const LineSpan&, std::string_view bytes) { return OnLine(bytes); }) != 0) {
        // A log that cannot be opened shows as empty, as a file that holds nothing would.
        if (!exists)
            text_->setPlainText(tr("Execution log is not created or even not specified in the project properties."));
        return;
    }
    drain_.start();
}

// Reader's thread.
bool PgLogView::OnLine(std::string_view bytes)
{
    const QString line = QString::fromStdU16String(DecodeLine(bytes, reader_.Encoding()));
    std::lock_guard guard(pendingLock_);
    if (pending_.empty() || pending_.back().size() >= kPieceChars)
        pending_.emplace_back();
    if (!firstLine_)
        pending_.back() += QLatin1Char('\n'); // between lines: the last line needs no empty one after it
    firstLine_ = false;
    pending_.back() += line;
    return true;
}

void PgLogView::Drain()
{
    const bool finished = reader_.Done();
    QElapsedTimer spent;
    spent.start();
    QTextCursor end(text_->document());
    end.movePosition(QTextCursor::End);
    bool empty = false;
    bool busy = false; // the reader held the lock: the window thread does not wait for it
    while (!empty && !busy && spent.elapsed() < kDrainBudgetMs) {
        QString piece;
        {
            std::unique_lock guard(pendingLock_, std::try_to_lock);
            busy = !guard.owns_lock();
            if (busy)
                break;
            if (!pending_.empty()) {
                piece = std::move(pending_.front());
                pending_.pop_front();
            }
            empty = pending_.empty();
        }
        end.insertText(piece);
    }
    ScrollToEnd();
    // While text waits, the next piece follows as soon as the events that came meanwhile are served.
    drain_.setInterval(busy ? kRetryMs : empty ? kDrainIntervalMs : 0);
    if (finished && empty)
        drain_.stop();
}

void PgLogView::ScrollToEnd()
{
    text_->moveCursor(QTextCursor::End);
    text_->ensureCursorVisible();
}
