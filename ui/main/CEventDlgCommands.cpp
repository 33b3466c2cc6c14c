// The main window's commands: the project file, the events, runs, reports, help.
#include "engine/RunControl.h"
#include "external/support/CLog.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "engine/ProjectCheck.h"
#include "res/Strings.h"
#include "ui/editor/EventProps.h"
#include "ui/gui/AboutBox.h"
#include "ui/gui/DesktopOpen.h"
#include "ui/gui/FileFilters.h"
#include "ui/gui/HtmlHelp.h"
#include "ui/gui/PrivateTempDir.h"
#include "ui/gui/RecentFiles.h"
#include "ui/gui/UserDialogs.h"
#include "ui/main/CEventDlg.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"
#include "ui/main/PageProject.h"
#include "ui/main/PageProps.h"
#include "ui/main/PageVReport.h"
#include "ui/main/ProjectRun.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

namespace {

QString Text(int id)
{
    return QString::fromUtf8(LoadString(id));
}

// What a check found in the file, for one message box: the first lines, and how many more.
QString ProblemsText(const ProjectCheck& check)
{
    constexpr size_t kShown = 15;
    const std::vector<ProjectProblem>& problems = check.Problems();
    QString text = QCoreApplication::translate("CEventDlg",
        "The project file has problems; the project is loaded as the file reads:\n");
    for (size_t i = 0; i < problems.size() && i < kShown; ++i)
        text += QLatin1Char('\n') + QString::fromStdString(check.Format(problems[i]));
    if (problems.size() > kShown)
        text += QCoreApplication::translate("CEventDlg", "\n... and %1 more (quorvel --check lists them all)")
                    .arg(problems.size() - kShown);
    return text;
}

// Commands refused while a run lasts: they would change the project under the running events, or
// start a second run.
bool ChangesProject(int id)
{
    switch (id) {
    case ID_NEW_PROJECT:
    case ID_LOAD_PROJECT:
    case ID_SAVE_PROJECT:
    case ID_SAVE_AS:
    case ID_ADD_EVENT:
    case ID_MODIFY_EVENT:
    case ID_DELETE_EVENT:
    case ID_COPY_EVENT:
    case ID_TOGGLE_ENABLED:
    case ID_RUN_PROJECT:
    case ID_RUN_CHECKED:
        return true;
    default:
        return id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + kRecentCommands;
    }
}

} // namespace

void CEventDlg::Dispatch(int id)
{
    if (RefusedWhileRunning(id))
        return;
    switch (id) {
    case ID_OK:
        quitting_ = true;
        close();
        break;
    case ID_EXIT:
        close();
        break;
    case ID_NEW_PROJECT:
        NewProject();
        break;
    case ID_LOAD_PROJECT:
        OpenProject();
        break;
    case ID_SAVE_PROJECT:
        SaveProject(path_);
        break;
    case ID_SAVE_AS:
        SaveProject({});
        break;
    case ID_ADD_EVENT:
        AddEvent();
        break;
    case ID_MODIFY_EVENT:
        ModifyEvent();
        break;
    case ID_DELETE_EVENT:
        RemoveEvents();
        break;
    case ID_COPY_EVENT:
        CopyEvent();
        break;
    case ID_TOGGLE_ENABLED:
        ToggleEventsEnabled();
        break;
    case ID_RUN_PROJECT:
        RunProject(false);
        break;
    case ID_RUN_CHECKED:
        RunProject(true);
        break;
    case ID_BREAK:
        BreakAll();
        break;
    case ID_PAUSE:
        g_pause = 1 - g_pause;
        break;
    case ID_PROJECT_REPORT:
        CreateProjectReport();
        break;
    case ID_HELP_INDEX:
        ShowHtmlHelp(this, QStringLiteral("index.html"));
        break;
    case ID_HELP_HOWTO:
        ShowHtmlHelp(this, QStringLiteral("tips.html"));
        break;
    case ID_ABOUT:
        AboutBox(this).exec();
        break;
    case ID_LOG_VIEW:
        ViewProgramLog();
        break;
    case ID_LOG_TRUNCATE:
        TruncateProgramLog();
        break;
    default:
        if (id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + kRecentCommands)
            OpenRecent(id - ID_RECENT_FIRST);
        break;
    }
}

int CEventDlg::Warn(const QString& text, int style)
{
    return AskUser(this, text, Text(IDS_WARNING), style);
}

bool CEventDlg::RefusedWhileRunning(int id)
{
    if (!Running() || !ChangesProject(id))
        return false;
    Warn(tr("The project is running. Wait until the run has ended, or break it first."), MB_OK | MB_ICONWARNING);
    return true;
}

void CEventDlg::SetChanged()
{
    saved_ = false;
    UpdateTitle();
}

int CEventDlg::AskSaveProject()
{
    // Typing on the properties page does not mark the project as changed, but is not lost either.
    if (saved_ && !props_->Changed())
        return 0;
    const int answer = Warn(Text(IDS_ASK_SAVE), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES)
        return answer == IDNO ? IDNO : IDCANCEL;
    // A save that was cancelled or failed must not let the caller throw the project away.
    const bool hasFile = !path_.isEmpty() && QFileInfo::exists(path_);
    return SaveProject(hasFile ? path_ : QString()) == 0 ? 0 : IDCANCEL;
}

int CEventDlg::SaveProject(QString name)
{
    if (name.isEmpty()) {
        name = Dialogs().SaveFile(this, Text(IDS_SAVE_PROJECT_TO), QtFilter(LoadString(IDS_FILTER_PROJECT)), {});
        if (name.isEmpty())
            return -1;
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".qvl");
    }
    props_->StoreProps();
    if (g_runner.Save(name.toStdString()) != 0) {
        AskUser(this, tr("The project could not be saved to %1.").arg(name), Text(IDS_ERROR), MB_OK | MB_ICONERROR);
        return -1;
    }
    AddRecentFile(name);
    path_ = name;
    saved_ = true;
    props_->MarkSaved();
    UpdateTitle();
    return 0;
}

void CEventDlg::OpenProject()
{
    if (AskSaveProject() == IDCANCEL)
        return;
    const QString name
        = Dialogs().OpenFile(this, Text(IDS_LOAD_PROJECT_FROM), QtFilter(LoadString(IDS_FILTER_PROJECT)), {});
    if (name.isEmpty())
        return;
    path_ = name;
    LoadProjectFile();
}

void CEventDlg::LoadProjectFile()
{
    AddRecentFile(path_);
    const ProjectCheck check(path_.toStdString());
    g_runner.Load(path_.toStdString());
    for (int i = 0; i < g_runner.Count(); ++i)
        g_runner.events[static_cast<size_t>(i)].unreadableKeys = check.UnreadableKeys(i);
    project_->RemoveAllRows();
    for (const Quorvel& event : g_runner.events)
        project_->AddRow(event);
    props_->ShowProps();
    props_->MarkSaved();
    saved_ = true;
    UpdateTitle();
    if (check.Problems().empty())
        return;
    // Once, after the window shows when the project is the one it starts with.
    const QString text = ProblemsText(check);
    if (isVisible())
        AskUser(this, text, Text(IDS_WARNING), MB_OK | MB_ICONWARNING);
    else
        QTimer::singleShot(0, this, [this, text] { AskUser(this, text, Text(IDS_WARNING), MB_OK | MB_ICONWARNING); });
}

void CEventDlg::OpenRecent(int n)
{
    const QString name = RecentFiles().value(n);
    if (name.isEmpty() || !QFileInfo::exists(name) || AskSaveProject() == IDCANCEL)
        return;
    path_ = name;
    LoadProjectFile();
}

void CEventDlg::NewProject()
{
    if (AskSaveProject() == IDCANCEL)
        return;
    g_runner.Clear();
    project_->RemoveAllRows();
    props_->ShowProps();
    props_->MarkSaved();
    saved_ = true;
    path_.clear();
    UpdateTitle();
}

void CEventDlg::AddEvent()
{
    Quorvel event;
    EventProps dlg(this, event, g_runner.Count());
    if (dlg.exec() != 1 || g_runner.AddEvent(event) != 0)
        return;
    project_->AddRow(g_runner.events.back());
    SetChanged();
}

void CEventDlg::ModifyEvent()
{
    const int row = project_->GetSelectedRow();
    Quorvel* event = g_runner.GetEvent(row);
    if (project_->CheckSelection(event != nullptr ? row : -1) != 0)
        return;
    EventProps dlg(this, *event, row);
    if (dlg.exec() != 1)
        return;
    project_->UpdateRow(*event, row);
    SetChanged();
}

void CEventDlg::CopyEvent()
{
    const int row = project_->GetSelectedRow();
    const Quorvel* event = g_runner.GetEvent(row);
    if (project_->CheckSelection(event != nullptr ? row : -1) != 0)
        return;
    const Quorvel copy = *event; // AddEvent may move the list
    if (g_runner.AddEvent(copy) != 0)
        return;
    project_->AddRow(g_runner.events.back());
    SetChanged();
}

void CEventDlg::ToggleEventsEnabled()
{
    std::vector<int> rows = project_->GetCheckedRows();
    if (rows.empty()) {
        const int row = project_->GetSelectedRow();
        if (project_->CheckSelection(row) != 0)
            return;
        rows.push_back(row);
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (Quorvel* event = g_runner.GetEvent(*it)) {
            event->enabled = event->enabled != 0 ? 0 : 1;
            project_->UpdateRow(*event, *it);
        }
    }
    SetChanged();
}

void CEventDlg::RemoveEvents()
{
    std::vector<int> rows = project_->GetCheckedRows();
    if (!rows.empty()) {
        const QString question
            = QString::fromStdString(StrFormat(LoadString(IDS_ASK_DELETE_CHECKED), static_cast<int>(rows.size())));
        if (Warn(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    } else {
        const int row = project_->GetSelectedRow();
        if (project_->CheckSelection(row) != 0 || Warn(Text(IDS_ASK_DELETE), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        rows.push_back(row);
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        g_runner.DeleteEvent(*it);
        project_->DeleteRow(*it);
    }
    SetChanged();
}

void CEventDlg::RunProject(bool checkedOnly)
{
    if (!checkedOnly && g_runner.WarnIfEmpty() != 0) {
        if (options_.quit)
            Dispatch(ID_OK);
        return;
    }
    std::vector<uint16_t> selection(static_cast<size_t>(project_->RowCount()), 0);
    for (int row : project_->GetCheckedRows())
        selection[static_cast<size_t>(row)] = 1;
    SwitchPage(CEventModes::kConsole);
    SetRunControls(true);
    run_->Start(g_runner, *console_, std::move(selection), checkedOnly);
}

void CEventDlg::OnRunEnded()
{
    console_->Drain();
    SetRunControls(false);
    if (auto* report = qobject_cast<PageVReport*>(current_ >= 0 ? pages_[static_cast<size_t>(current_)] : nullptr))
        report->RunEnded();
    if (options_.quit)
        quitting_ = true;
    if (options_.quit || closeAfterRun_)
        close();
}

void CEventDlg::CreateProjectReport()
{
    const QString folder = PrivateTempDir();
    if (folder.isEmpty()) {
        AskUser(this, Text(IDS_REPORT_OPEN_FAILED), Text(IDS_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    const QString path = folder + QStringLiteral("/project-report.html");
    g_runner.WriteProjectReport(path.toStdString());
    OpenWithDesktopOrTell(this, path);
}

void CEventDlg::ViewProgramLog()
{
    const QString path = QString::fromStdString(CLog::Path());
    if (QFileInfo(path).size() > 0)
        OpenWithDesktopOrTell(this, path);
    else
        Warn(tr("The program log is empty."), MB_OK | MB_ICONINFORMATION);
}

void CEventDlg::TruncateProgramLog()
{
    if (Warn(tr("Empty the program log? Its entries are lost."), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (CLog::Truncate() != 0)
        AskUser(this, tr("The program log could not be emptied."), Text(IDS_ERROR), MB_OK | MB_ICONERROR);
}
