#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <map>

class CEventModes;
class CSmPage;
class PageConsole;
class PageProject;
class PageProps;
class ProjectRun;
class QMenu;
class QSystemTrayIcon;
class QToolBar;

// The main window: the page tree, the nine pages, the menus and the toolbar over the one
// project g_runner. Every command arrives at Dispatch by its number.
class CEventDlg : public QMainWindow {
    Q_OBJECT
public:
    struct StartOptions {
        QString projectPath; // from the command line; empty when none
        bool run = false; // run the project once the window is up
        bool quit = false; // close after a run that the window started
    };

    explicit CEventDlg(const StartOptions& options, QWidget* parent = nullptr);
    ~CEventDlg() override;

    // Carries out a command of the menus, the toolbar, the keys or the pages.
    void Dispatch(int id);
    void SwitchPage(int page);

    int CurrentPage() const { return current_; }
    const QString& ProjectPath() const { return path_; }
    bool Saved() const { return saved_; }
    bool Running() const;
    QAction* Action(int id) const;
    QToolBar& ToolBar() { return *toolBar_; }
    CSmPage& Page(int page) { return *pages_[static_cast<size_t>(page)]; }
    PageProject& Project() { return *project_; }
    PageProps& Props() { return *props_; }
    PageConsole& Console() { return *console_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Structure (CEventDlg.cpp).
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildPages();
    void FillRecentMenu();
    void OpenStartProject(const QString& path);
    void UpdateTitle();
    void SetRunControls(bool running);
    void StoreState();
    void HideInTray();
    void ShowHelp();

    // Commands (CEventDlgCommands.cpp).
    bool RefusedWhileRunning(int id);
    void SetChanged();
    int AskSaveProject();
    int SaveProject(QString name);
    void OpenProject();
    void LoadProjectFile();
    void OpenRecent(int n);
    void NewProject();
    void AddEvent();
    void ModifyEvent();
    void CopyEvent();
    void ToggleEventsEnabled();
    void RemoveEvents();
    void RunProject(bool checkedOnly);
    void OnRunEnded();
    void CreateProjectReport();
    void ViewProgramLog();
    void TruncateProgramLog();
    int Warn(const QString& text, int style);

    StartOptions options_;
    QString path_;
    bool saved_ = true;
    bool quitting_ = false; // command 1: close without a question
    bool closeAfterRun_ = false; // the user closed the window during a run
    int current_ = -1;
    std::map<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    CEventModes* tree_ = nullptr;
    std::array<CSmPage*, 9> pages_ {};
    PageProject* project_ = nullptr;
    PageProps* props_ = nullptr;
    PageConsole* console_ = nullptr;
    ProjectRun* run_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
};
