#include "ui/main/CEventDlg.h"

#include "external/support/CSettings.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "res/Strings.h"
#include "ui/gui/HtmlHelp.h"
#include "ui/gui/RecentFiles.h"
#include "ui/gui/WindowPlacement.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageProject.h"
#include "ui/main/PageProps.h"
#include "ui/main/PageSettings.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"
#include "ui/main/ProjectRun.h"
#include "ui/main/RunStatusBar.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

struct CommandDef {
    int id;
    const char* text;
    const char* keys; // a shortcut, or null
    const char* icon; // a toolbar icon under :/icons, or null
};

// Every command of the menus and the toolbar. A "\t" in the text only shows a key in the menu;
// the key itself is the shortcut column.
const CommandDef kCommands[] = {
    { ID_NEW_PROJECT, QT_TRANSLATE_NOOP("CEventDlg", "&New Project"), "Ctrl+N", "new" },
    { ID_LOAD_PROJECT, QT_TRANSLATE_NOOP("CEventDlg", "&Load Project..."), "Ctrl+O", "open" },
    { ID_SAVE_PROJECT, QT_TRANSLATE_NOOP("CEventDlg", "&Save Project"), "Ctrl+S", "save" },
    { ID_SAVE_AS, QT_TRANSLATE_NOOP("CEventDlg", "Save Project As..."), nullptr, nullptr },
    { ID_EXIT, QT_TRANSLATE_NOOP("CEventDlg", "E&xit"), "Ctrl+Q", nullptr },
    { ID_RUN_PROJECT, QT_TRANSLATE_NOOP("CEventDlg", "&Run Project"), "Ctrl+R", "run" },
    { ID_RUN_CHECKED, QT_TRANSLATE_NOOP("CEventDlg", "Run Checked Events"), nullptr, "runchecked" },
    { ID_BREAK, QT_TRANSLATE_NOOP("CEventDlg", "&Break Project Execution"), nullptr, "break" },
    { ID_PAUSE, QT_TRANSLATE_NOOP("CEventDlg", "Execution Pause"), nullptr, "pause" },
    { ID_PROJECT_REPORT, QT_TRANSLATE_NOOP("CEventDlg", "Project Report..."), nullptr, "report" },
    { ID_ADD_EVENT, QT_TRANSLATE_NOOP("CEventDlg", "&Add new Event..."), "Ctrl+I", "add" },
    { ID_MODIFY_EVENT, QT_TRANSLATE_NOOP("CEventDlg", "&Modify Event definition..."), nullptr, "edit" },
    { ID_DELETE_EVENT, QT_TRANSLATE_NOOP("CEventDlg", "&Delete Event"), nullptr, "delete" },
    { ID_COPY_EVENT, QT_TRANSLATE_NOOP("CEventDlg", "Insert Copy"), nullptr, "copy" },
    { ID_TOGGLE_ENABLED, QT_TRANSLATE_NOOP("CEventDlg", "Enable/Disable"), "Ctrl+E", nullptr },
    { ID_LOG_VIEW, QT_TRANSLATE_NOOP("CEventDlg", "&View..."), "Ctrl+L", "log" },
    { ID_LOG_TRUNCATE, QT_TRANSLATE_NOOP("CEventDlg", "&Truncate"), nullptr, nullptr },
    { ID_HELP_INDEX, QT_TRANSLATE_NOOP("CEventDlg", "&Index...\tF1"), nullptr, nullptr },
    { ID_HELP_HOWTO, QT_TRANSLATE_NOOP("CEventDlg", "How To..."), nullptr, nullptr },
    { ID_ABOUT, QT_TRANSLATE_NOOP("CEventDlg", "&About Olvex Quorvel"), "Ctrl+A", "about" },
};

// Toolbar buttons in order; 0 stands for a separator.
constexpr int kToolBar[] = { ID_NEW_PROJECT, ID_LOAD_PROJECT, ID_SAVE_PROJECT, 0, ID_PROJECT_REPORT, 0, ID_ADD_EVENT,
    ID_MODIFY_EVENT, ID_COPY_EVENT, ID_DELETE_EVENT, 0, ID_RUN_PROJECT, ID_RUN_CHECKED, ID_PAUSE, ID_BREAK, 0,
    ID_LOG_VIEW, 0, ID_ABOUT };

// Toolbar buttons whose commands change the project or start a run: off while a run lasts.
constexpr int kIdleOnly[] = { ID_NEW_PROJECT, ID_LOAD_PROJECT, ID_SAVE_PROJECT, ID_ADD_EVENT, ID_MODIFY_EVENT,
    ID_COPY_EVENT, ID_DELETE_EVENT, ID_RUN_PROJECT, ID_RUN_CHECKED };

constexpr int kMinWidth = 590;
constexpr int kMinHeight = 460;

} // namespace

CEventDlg::CEventDlg(const StartOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , options_(options)
    , run_(new ProjectRun(this))
{
    // The icons live in the static ui library, whose resource registration a linker would drop.
    Q_INIT_RESOURCE(quorvel);
    setObjectName(QStringLiteral("MainDlg"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/quorvel.svg")));
    UpdateTitle();
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildPages();
    setMinimumSize(kMinWidth, kMinHeight);
    resize(900, 620);
    connect(run_, &ProjectRun::Ended, this, &CEventDlg::OnRunEnded);
    OpenStartProject(options.projectPath);
    LoadPlacement(*this, "MainDlg");
    if (options.run)
        QTimer::singleShot(0, this, [this] { Dispatch(ID_RUN_PROJECT); });
}

CEventDlg::~CEventDlg() = default;

bool CEventDlg::Running() const
{
    return run_->Running();
}

QAction* CEventDlg::Action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CEventDlg::BuildActions()
{
    for (const CommandDef& command : kCommands) {
        auto* action = new QAction(tr(command.text), this);
        action->setData(command.id);
        if (command.keys != nullptr)
            action->setShortcut(QKeySequence(QString::fromLatin1(command.keys)));
        if (command.icon != nullptr)
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(command.icon))));
        const char* tip = LoadString(command.id);
        if (*tip != '\0')
            action->setToolTip(QString::fromUtf8(tip));
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        addAction(action);
        actions_[id] = action;
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &CEventDlg::ShowHelp);
}

void CEventDlg::BuildMenus()
{
    const auto fill = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    fill(file, { ID_NEW_PROJECT, ID_LOAD_PROJECT });
    recentMenu_ = file->addMenu(tr("Recent &Projects"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &CEventDlg::FillRecentMenu);
    fill(file, { 0, ID_SAVE_PROJECT, ID_SAVE_AS, 0, ID_EXIT });
    fill(menuBar()->addMenu(tr("&Project")),
        { ID_RUN_PROJECT, ID_RUN_CHECKED, ID_BREAK, ID_PAUSE, 0, ID_PROJECT_REPORT });
    fill(menuBar()->addMenu(tr("&Event")),
        { ID_ADD_EVENT, ID_MODIFY_EVENT, ID_DELETE_EVENT, ID_COPY_EVENT, 0, ID_TOGGLE_ENABLED });
    QMenu* log = menuBar()->addMenu(tr("&Tools"))->addMenu(tr("Log file"));
    fill(log, { ID_LOG_VIEW, ID_LOG_TRUNCATE });
    fill(menuBar()->addMenu(tr("&Help")), { ID_HELP_INDEX, ID_HELP_HOWTO, 0, ID_ABOUT });
}

void CEventDlg::FillRecentMenu()
{
    QMenu* menu = qobject_cast<QMenu*>(sender());
    if (menu == nullptr)
        menu = recentMenu_;
    menu->clear();
    const QStringList paths = RecentFiles();
    for (int n = 0; n < paths.size(); ++n) {
        if (paths[n].isEmpty() || !QFileInfo::exists(paths[n]))
            continue;
        QAction* entry = menu->addAction(paths[n]);
        connect(entry, &QAction::triggered, this, [this, n] { Dispatch(ID_RECENT_FIRST + n); });
    }
    if (menu->isEmpty())
        menu->addAction(QString::fromUtf8(LoadString(IDS_NO_RECENT)))->setEnabled(false);
}

void CEventDlg::BuildToolBar()
{
    toolBar_ = addToolBar(tr("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(16, 16));
    for (int id : kToolBar) {
        if (id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        toolBar_->addAction(Action(id));
        QWidget* button = toolBar_->widgetForAction(Action(id));
        button->setAccessibleName(Action(id)->toolTip());
    }
    auto* load = qobject_cast<QToolButton*>(toolBar_->widgetForAction(Action(ID_LOAD_PROJECT)));
    auto* dropDown = new QMenu(load);
    connect(dropDown, &QMenu::aboutToShow, this, &CEventDlg::FillRecentMenu);
    load->setMenu(dropDown);
    load->setPopupMode(QToolButton::MenuButtonPopup);
    SetRunControls(false);
}

void CEventDlg::BuildPages()
{
    auto* splitter = new QSplitter(this);
    tree_ = new CEventModes(splitter);
    tree_->Fill();
    auto* area = new QWidget(splitter);
    auto* stack = new QGridLayout(area);
    stack->setContentsMargins(5, 0, 4, 4);
    project_ = new PageProject(area);
    props_ = new PageProps(area);
    console_ = new PageConsole(area);
    pages_ = { project_, props_, console_, new PageSettings(area), new PageVReport(g_runner, 1, area),
        new PageVReport(g_runner, 0, area), new PgLogView(g_runner, 0, area), new PgLogView(g_runner, 1, area),
        new PageExReport(g_runner, area) };
    for (CSmPage* page : pages_)
        stack->addWidget(page, 0, 0);
    props_->SetProject(g_runner);
    console_->SetRunner(g_runner);
    connect(project_, &PageProject::Command, this, &CEventDlg::Dispatch, Qt::QueuedConnection);
    auto* runStatus = new RunStatusBar(this);
    setStatusBar(runStatus);
    connect(console_, &PageConsole::OutcomesChanged, project_, &PageProject::ShowOutcomes);
    connect(console_, &PageConsole::OutcomesChanged, runStatus, &RunStatusBar::ShowRun);
    connect(runStatus, &RunStatusBar::OpenProgramLog, this, [this] { SwitchPage(CEventModes::kProgramLog); });
    splitter->addWidget(tree_);
    splitter->addWidget(area);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 170, 700 });
    setCentralWidget(splitter);
    current_ = CEventModes::kProject;
    project_->Activate();
    tree_->SelectPage(current_);
    connect(tree_, &CEventModes::PageChosen, this, &CEventDlg::SwitchPage);
}

void CEventDlg::SwitchPage(int page)
{
    if (page < 0 || page >= CEventModes::kPageCount || page == current_)
        return;
    if (current_ >= 0)
        pages_[static_cast<size_t>(current_)]->Deactivate();
    current_ = page;
    pages_[static_cast<size_t>(page)]->Activate();
    tree_->SelectPage(page);
}

void CEventDlg::OpenStartProject(const QString& path)
{
    path_ = path;
    if (!QFileInfo::exists(path_) && SettingInt("LoadLastFile", 1) != 0)
        path_ = QString::fromStdString(SettingStr("LastFile"));
    if (!path_.isEmpty() && QFileInfo::exists(path_))
        LoadProjectFile();
    else
        path_.clear();
    UpdateTitle();
}

void CEventDlg::UpdateTitle()
{
    const QString name = path_.isEmpty() ? QStringLiteral("untitled") : path_;
    setWindowTitle(
        QString::fromStdString(StrFormat(LoadString(IDS_TITLE), "", name.toStdString().c_str(), saved_ ? "" : " *")));
}

void CEventDlg::SetRunControls(bool running)
{
    for (int id : kIdleOnly)
        toolBar_->widgetForAction(Action(id))->setEnabled(!running);
    toolBar_->widgetForAction(Action(ID_BREAK))->setEnabled(running);
    toolBar_->widgetForAction(Action(ID_PAUSE))->setEnabled(running);
    if (props_ != nullptr)
        props_->SetRunning(running);
}

void CEventDlg::ShowHelp()
{
    ShowHtmlHelp(
        this, current_ == CEventModes::kSettings ? QStringLiteral("settings.html") : QStringLiteral("index.html"));
}

void CEventDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (Running()) {
        if (!closeAfterRun_
            && Warn(tr("The project is running. Break the run and close the window?"), MB_YESNO | MB_ICONQUESTION)
                == IDYES) {
            closeAfterRun_ = true;
            Dispatch(ID_BREAK);
        }
        return; // closes when the run has ended (OnRunEnded)
    }
    if (!quitting_ && AskSaveProject() == IDCANCEL)
        return;
    StoreState();
    event->accept();
}

void CEventDlg::StoreState()
{
    if (current_ >= 0)
        pages_[static_cast<size_t>(current_)]->Deactivate();
    current_ = -1;
    SavePlacement(*this, "MainDlg");
    project_->StoreColumnWidths();
    if (g_settings != nullptr) {
        g_settings->setStr("LastFile", path_.toStdString());
        g_settings->SaveData();
    }
    if (tray_ != nullptr)
        tray_->hide();
}

void CEventDlg::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && SettingInt("MinimizeOnTray") != 0
        && QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, &CEventDlg::HideInTray);
}

void CEventDlg::HideInTray()
{
    if (tray_ == nullptr) {
        tray_ = new QSystemTrayIcon(windowIcon(), this);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::DoubleClick)
                return;
            showNormal();
            activateWindow();
            tray_->hide();
        });
    }
    tray_->setToolTip(windowTitle());
    tray_->show();
    hide();
}
