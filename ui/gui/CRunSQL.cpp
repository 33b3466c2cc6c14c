#include "ui/gui/CRunSQL.h"

#include "external/db/CDB.h"
#include "external/support/MessageBox.h"
#include "ui/gui/CHistCBox.h"
#include "ui/gui/ResultModel.h"
#include "ui/gui/SqlEditor.h"
#include "ui/gui/UserDialogs.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The grid shows this many rows of a result; the status line counts further.
constexpr std::size_t kGridRows = 10000;

QPointer<CRunSQL> g_console;

void DeleteConsole()
{
    delete g_console.data();
}

// Table and column names, as pairs, of what the user may query.
std::string CatalogQuery(DS_TYPE kind)
{
    if (kind == DS_SQLITE)
        return "SELECT m.name, p.name FROM sqlite_master AS m JOIN pragma_table_info(m.name) AS p "
               "WHERE m.type IN ('table', 'view')";
    // The system schemas of PostgreSQL and of MariaDB/MySQL hold thousands of names nobody types.
    return "SELECT table_name, column_name FROM information_schema.columns WHERE table_schema NOT IN "
           "('pg_catalog', 'information_schema', 'mysql', 'performance_schema', 'sys')";
}

QStringList CompletionWords(const DbOutcome& outcome)
{
    QSet<QString> words;
    for (const auto& row : outcome.rows) {
        for (const std::string& name : row)
            words.insert(QString::fromStdString(name));
    }
    QStringList sorted(words.begin(), words.end());
    sorted.sort(Qt::CaseInsensitive);
    return sorted;
}

} // namespace

CRunSQL::CRunSQL(QWidget* parent)
    : QDialog(parent)
    , editor_(new SqlEditor(this))
    , history_(new CHistCBox(this))
    , run_(new QPushButton(tr("&Run"), this))
    , cancel_(new QPushButton(tr("&Cancel"), this))
    , status_(new QLabel(this))
    , model_(new ResultModel(this))
    , grid_(new QTableView(this))
    , copyCells_(new QAction(tr("&Copy"), this))
    , copyCsv_(new QAction(tr("Copy as C&SV"), this))
{
    setWindowTitle(tr("SQL Console"));
    history_->setInsertPolicy(QComboBox::NoInsert);
    history_->setAccessibleName(tr("Statements run before"));
    history_->setToolTip(tr("Statements run before"));
    grid_->setModel(model_);
    grid_->setAccessibleName(tr("Result"));
    grid_->horizontalHeader()->setStretchLastSection(true);
    status_->setAccessibleName(tr("Status"));
    run_->setToolTip(tr("Run the statement (F5)"));
    cancel_->setToolTip(tr("End the running statement"));
    auto* close = new QPushButton(tr("Cl&ose"), this);
    auto* copyCsv = new QPushButton(tr("Copy as C&SV"), this);

    auto* top = new QHBoxLayout;
    auto* historyLabel = new QLabel(tr("&History"), this);
    historyLabel->setBuddy(history_);
    top->addWidget(historyLabel);
    top->addWidget(history_, 1);
    top->addWidget(run_);
    top->addWidget(cancel_);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(editor_);
    splitter->addWidget(grid_);
    splitter->setStretchFactor(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(copyCsv);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(&task_, &DbTask::Finished, this,
        [this](const DbOutcome& outcome) { connecting_ ? Connected(outcome) : RunFinished(outcome); });
    connect(run_, &QPushButton::clicked, this, &CRunSQL::Run);
    connect(cancel_, &QPushButton::clicked, this, &CRunSQL::Cancel);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(history_, &QComboBox::textActivated, this,
        [this](const QString& text) { editor_->SetText(text.toStdString()); });
    new QShortcut(QKeySequence(Qt::Key_F5), this, this, &CRunSQL::Run);
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this, this, &CRunSQL::Run);
    AddCopyCommands(copyCsv);
    SetBusy(false, {});
    resize(720, 520);
}

CRunSQL::~CRunSQL() = default;

// Ctrl+C copies the grid's selection only while the grid has the focus (elsewhere it copies the
// statement's text); Ctrl+Shift+C copies the whole result from anywhere in the console. Both are
// in the grid's context menu.
void CRunSQL::AddCopyCommands(QPushButton* copyCsv)
{
    copyCells_->setShortcut(QKeySequence::Copy);
    copyCells_->setShortcutContext(Qt::WidgetShortcut);
    copyCsv_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyCsv_->setShortcutContext(Qt::WindowShortcut);
    grid_->addAction(copyCells_);
    grid_->addAction(copyCsv_);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    copyCsv->setAccessibleName(tr("Copy as CSV"));
    copyCsv->setToolTip(tr("Copy the whole result as comma-separated values (Ctrl+Shift+C)"));
    connect(copyCells_, &QAction::triggered, this, &CRunSQL::CopyCells);
    connect(copyCsv_, &QAction::triggered, this, &CRunSQL::CopyCsv);
    connect(copyCsv, &QPushButton::clicked, copyCsv_, &QAction::trigger);
    connect(copyCsv_, &QAction::changed, copyCsv, [copyCsv, this] { copyCsv->setEnabled(copyCsv_->isEnabled()); });
    copyCsv_->setEnabled(false);
}

void CRunSQL::CopyCells()
{
    const QString text = model_->CellsText(grid_->selectionModel()->selectedIndexes());
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void CRunSQL::CopyCsv()
{
    const QString text = model_->CsvText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

CRunSQL& CRunSQL::Instance()
{
    if (!g_console) {
        g_console = new CRunSQL(nullptr);
        qAddPostRoutine(DeleteConsole);
    }
    return *g_console;
}

void CRunSQL::Open(const CONN_INFO& info)
{
    if (Connect(info))
        show();
}

// The result comes through the event loop, so a modal run started right after sees it.
int CRunSQL::RunOn(const CONN_INFO& info)
{
    return Connect(info) ? exec() : QDialog::Rejected;
}

bool CRunSQL::Connect(const CONN_INFO& info)
{
    task_.Abandon();
    db_ = CDB::newDB(info.type);
    model_->SetRows({});
    copyCsv_->setEnabled(false);
    editor_->SetCompletionWords({});
    if (!db_) {
        SetBusy(false, tr("No database of this kind"));
        return false;
    }
    setWindowTitle(tr("SQL Console - %1").arg(QString::fromStdString(info.ConInfo())));
    const bool smart = smartInput_;
    DbJob job = [catalog = DbTask::FetchRows(CatalogQuery(info.type), kRowCountBound, kRowCountBound), smart](
                    CDB& db, DbOutcome& outcome, const std::atomic<bool>& stop) {
        if (!smart)
            return;
        catalog(db, outcome, stop);
        if (outcome.failedAt != DbOutcome::kNone)
            outcome = {}; // a database without such a catalogue just goes without completion
    };
    connecting_ = true;
    task_.Start(db_, &info, std::move(job));
    SetBusy(true, tr("Connecting..."));
    return true;
}

void CRunSQL::Connected(const DbOutcome& outcome)
{
    if (outcome.cancelled || outcome.failedAt == DbOutcome::kConnect) {
        SetBusy(false, {});
        db_.reset();
        if (!outcome.cancelled)
            AskUser(this, QString::fromStdString(outcome.error), tr("Connection Failed"), MB_ICONERROR);
        reject();
        return;
    }
    editor_->SetCompletionWords(CompletionWords(outcome));
    SetBusy(false, tr("Connected"));
}

void CRunSQL::Run()
{
    const std::string statement = editor_->Text();
    if (!db_ || Busy() || statement.empty())
        return;
    history_->AddHistory(QString::fromStdString(statement));
    connecting_ = false;
    task_.Start(db_, nullptr, DbTask::FetchRows(statement, kRowCountBound, kGridRows));
    SetBusy(true, tr("Running..."));
}

void CRunSQL::Cancel()
{
    if (!Busy())
        return;
    // Run stays off until the worker has let go of the connection: two statements never share it.
    task_.Cancel();
    status_->setText(tr("Cancelling..."));
}

void CRunSQL::RunFinished(const DbOutcome& outcome)
{
    if (outcome.cancelled) {
        // The server's own words, when it said why the statement ended.
        SetBusy(false,
            outcome.error.empty() ? tr("Cancelled") : tr("Cancelled: %1").arg(QString::fromStdString(outcome.error)));
        return;
    }
    if (outcome.failedAt != DbOutcome::kNone) {
        SetBusy(false, tr("Failed: %1").arg(QString::fromStdString(outcome.error)));
        return;
    }
    const QString rows = RowCountText(outcome);
    model_->SetRows(outcome.rows, outcome.columns);
    copyCsv_->setEnabled(model_->columnCount() > 0);
    SetBusy(false, tr("Rows: %1").arg(rows));
}

void CRunSQL::SetBusy(bool busy, const QString& status)
{
    run_->setEnabled(!busy && db_ != nullptr);
    cancel_->setEnabled(busy);
    status_->setText(status);
}

QString CRunSQL::StatusText() const
{
    return status_->text();
}

void CRunSQL::done(int result)
{
    task_.Abandon();
    db_.reset();
    QDialog::done(result);
}
