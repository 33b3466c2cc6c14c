#include "ui/gui/HelpWindow.h"

#include "external/support/SharedFiles.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , browser_(new QTextBrowser(this))
{
    setWindowTitle(tr("Olvex Quorvel Help"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 620);
    browser_->setOpenExternalLinks(true);
    browser_->setAccessibleName(tr("Help page"));

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* back = AddCommand(tr("&Back"), QKeySequence::Back);
    QAction* forward = AddCommand(tr("&Forward"), QKeySequence::Forward);
    QAction* index = AddCommand(tr("&Index"), QKeySequence(Qt::ALT | Qt::Key_Home));
    QAction* close = AddCommand(tr("&Close"), QKeySequence(Qt::Key_Escape));
    tools->addActions({ back, forward, index, close });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(index, &QAction::triggered, this, [this] { ShowPage(QStringLiteral("index.html")); });
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        // The index page is titled after the program's help as a whole, the other pages by their topic.
        const QString page = browser_->documentTitle();
        const QString help = tr("Olvex Quorvel Help");
        setWindowTitle(page.isEmpty() || page.contains(help) ? help : tr("%1 - Olvex Quorvel Help").arg(page));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(browser_, 1);
}

QAction* HelpWindow::AddCommand(const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    action->setToolTip(
        QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')), key.toString(QKeySequence::NativeText)));
    addAction(action);
    return action;
}

namespace {

QString& PageFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void HelpWindow::SetPageFolder(const QString& folder)
{
    PageFolder() = folder;
}

QString HelpWindow::PagePath(const QString& page)
{
    if (!PageFolder().isEmpty()) {
        const QString path = PageFolder() + QLatin1Char('/') + page;
        return QFileInfo::exists(path) ? path : QString();
    }
    return QString::fromStdString(SharedFilePath("help/" + page.toStdString()));
}

bool HelpWindow::ShowPage(const QString& page)
{
    const QString path = PagePath(page);
    if (path.isEmpty())
        return false;
    browser_->setSource(QUrl::fromLocalFile(path));
    return true;
}
