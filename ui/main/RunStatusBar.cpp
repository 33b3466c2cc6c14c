#include "ui/main/RunStatusBar.h"

#include "ui/main/RunOutcomes.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

int64_t NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

RunStatusBar::RunStatusBar(QWidget* parent)
    : QStatusBar(parent)
    , text_(new QLabel(this))
    , logButton_(new QPushButton(tr("Open Program &Log"), this))
{
    setSizeGripEnabled(true);
    text_->setAccessibleName(tr("Run status"));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addWidget(text_, 1);
    logButton_->setIcon(RunOutcomes::Icon(RunOutcomes::Outcome::kFailed));
    logButton_->setAccessibleName(tr("Open Program Log"));
    logButton_->setToolTip(tr("Show the program log, where each failure is told with its reason"));
    logButton_->setFlat(true);
    logButton_->setFocusPolicy(Qt::StrongFocus);
    logButton_->hide();
    addPermanentWidget(logButton_);
    connect(logButton_, &QPushButton::clicked, this, &RunStatusBar::OpenProgramLog);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &RunStatusBar::ShowText);
    ShowText();
}

QString RunStatusBar::Duration(int64_t ms)
{
    const int64_t seconds = std::max<int64_t>(ms, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void RunStatusBar::ShowRun(const RunOutcomes& run)
{
    if (run.startedMs == 0)
        return; // no run yet
    seen_ = true;
    if (!run.running && (running_ || endedMs_ < run.startedMs))
        endedMs_ = NowMs();
    running_ = run.running;
    startedMs_ = run.startedMs;
    passed_ = run.Passed();
    const bool failing = std::any_of(run.events.begin(), run.events.end(),
        [](const RunOutcomes::Event& event) { return event.Shown() == RunOutcomes::Outcome::kFailed; });
    failed_ = run.Failed();
    logButton_->setVisible(failed_ > 0 || failing);
    if (running_)
        clock_.start();
    else
        clock_.stop();
    ShowText();
}

void RunStatusBar::ShowText()
{
    QString text;
    if (!seen_)
        text = tr("Not running");
    else if (running_)
        text = tr("Running for %1").arg(Duration(NowMs() - startedMs_));
    else
        text = tr("Run ended after %1").arg(Duration((endedMs_ > 0 ? endedMs_ : NowMs()) - startedMs_));
    if (seen_)
        text += tr(" \u2014 checks passed: %1, failed: %2").arg(passed_).arg(failed_);
    text_->setText(text);
}

QString RunStatusBar::Text() const
{
    return text_->text();
}
