#include "ui/editor/EventProps.h"

#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "engine/EventRunProblems.h"
#include "res/Strings.h"
#include "ui/editor/PgAction.h"
#include "ui/editor/PgCondition.h"
#include "ui/editor/PgConnect.h"
#include "ui/editor/PgEvent.h"
#include "ui/editor/PgTimer.h"
#include "ui/editor/UnreadableMarks.h"
#include "ui/gui/HtmlHelp.h"
#include "ui/gui/UserDialogs.h"
#include "ui/gui/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr const char* kPlacement = "EventPropsWnd";

} // namespace

EventProps::EventProps(QWidget* parent, Quorvel& event, int index)
    : QDialog(parent)
    , event_(event)
    , copy_(event)
    , index_(index)
    , tabs_(new QTabBar(this))
{
    setWindowTitle(tr("Event Properties"));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    for (const QString& text : { tr("Connection"), tr("Event"), tr("Timers"), tr("Condition"), tr("Action") })
        tabs_->addTab(text);
    tabs_->setExpanding(false);
    tabs_->setAccessibleName(tr("Event properties pages"));

    auto* area = new QFrame(this);
    auto* areaLayout = new QGridLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    pages_ = { new PgConnect(area, copy_), new PgEvent(area, copy_), new PgTimer(area, copy_),
        new PgCondition(area, copy_), new PgAction(area, copy_) };
    for (EditorPage* page : pages_)
        areaLayout->addWidget(page, 0, 0);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole)->setDefault(false);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(area, 1);
    layout->addWidget(buttons);

    // A remembered tab beyond the five (not made by this dialog) opens the first.
    current_ = copy_.lastTab >= 0 && copy_.lastTab < kTabCount ? copy_.lastTab : 0;
    pages_[static_cast<std::size_t>(current_)]->Activate();
    tabs_->setCurrentIndex(current_);
    UnreadableMarks::Apply(*this, event_.unreadableKeys);
    connect(tabs_, &QTabBar::currentChanged, this, &EventProps::TabChanged);
    connect(buttons, &QDialogButtonBox::accepted, this, &EventProps::SaveAfterCheck);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The tab bar alone has no keyboard way between pages that works from inside a page.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(
        next, &QShortcut::activated, this, [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % kTabCount); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previous, &QShortcut::activated, this,
        [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + kTabCount - 1) % kTabCount); });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { ShowHtmlHelp(this, QStringLiteral("index.html")); });

    setMinimumSize(560, 470);
    resize(760, 560);
    LoadPlacement(*this, kPlacement);
}

void EventProps::Save()
{
    for (EditorPage* page : pages_)
        page->Store();
    event_ = copy_;
    event_.lastTab = current_;
    // What the editor saved is readable now: the marks are gone the next time it opens.
    event_.unreadableKeys.clear();
    accept();
}

void EventProps::SaveAfterCheck()
{
    for (EditorPage* page : pages_)
        page->Store();
    const QString problems = RunProblems();
    if (!problems.isEmpty()) {
        const std::string text = StrFormat(LoadString(IDS_EVENT_PROBLEMS), problems.toStdString().c_str());
        if (Dialogs().Confirm(this, QString::fromStdString(text), QString::fromUtf8(LoadString(IDS_WARNING)),
                QString::fromUtf8(LoadString(IDS_SAVE_ANYWAY)), QString::fromUtf8(LoadString(IDS_GO_BACK)))
            != IDYES)
            return;
    }
    Save();
}

QString EventProps::RunProblems() const
{
    QStringList lines;
    for (const EventProblem& problem : EventRunProblems(copy_, StrFormat("Item%d", index_)))
        lines << QString::fromStdString((problem.warning ? "warning: " : "") + problem.message);
    return lines.join(QLatin1Char('\n'));
}

void EventProps::done(int result)
{
    SavePlacement(*this, kPlacement);
    QDialog::done(result);
}

void EventProps::TabChanged(int index)
{
    if (index < 0 || index == current_)
        return;
    pages_[static_cast<std::size_t>(current_)]->Deactivate();
    current_ = index;
    pages_[static_cast<std::size_t>(current_)]->Activate();
}
