#include "ui/main/PageProps.h"

#include "model/QuorvelRunner.h"
#include "res/Strings.h"
#include "ui/gui/FileFilters.h"
#include "ui/gui/UserDialogs.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void Put(QLineEdit* field, const std::string& text)
{
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(0);
}

} // namespace

PageProps::PageProps(QWidget* parent)
    : CSmPage(parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 20);
    grid->setColumnStretch(1, 1);
    int row = 0;
    QLineEdit* report = AddField(*grid, row, tr("Save Execution Report to :"),
        tr("[ optional Excel compatible file where the program collects execution statistics ]"),
        &QuorvelRunner::reportFile);
    AddBrowse(*grid, report, row - 2, IDS_SAVE_EXEC_REPORT_TO, IDS_FILTER_TEXT, "txt");
    QLineEdit* log = AddField(*grid, row, tr("Save Execution Log to :"),
        tr("[ optional file for event actions logging. The program will write them to general log if "
           "empty ]"),
        &QuorvelRunner::logFile);
    AddBrowse(*grid, log, row - 2, IDS_SAVE_LOG_TO, IDS_FILTER_TEXT, "txt");
    QLineEdit* summary = AddField(*grid, row, tr("Save Summary/Cumulative Report to :"),
        tr("[ optional HTML document with cumulative execution statistics and summary ]"),
        &QuorvelRunner::summaryFile);
    AddBrowse(*grid, summary, row - 2, IDS_SAVE_EXEC_REPORT_TO, IDS_FILTER_HTML, "html");
    grid->addWidget(new QLabel(tr("Note: $DATE$ and $TIME$ macros can be used as a part of the report or log file "
                                  "name."),
                        this),
        row++, 0, 1, 3);
    AddField(*grid, row, tr("Project Author"), {}, &QuorvelRunner::author);
    AddField(*grid, row, tr("Project Description"), {}, &QuorvelRunner::description);
    QLineEdit* metrics = AddField(*grid, row, tr("Metrics file"),
        tr("[ optional metrics file for a node_exporter textfile collector ]"), &QuorvelRunner::metricsFile);
    // The textfile collector reads only names ending in ".prom": no extension is added here.
    AddBrowse(*grid, metrics, row - 2, IDS_SAVE_EXEC_REPORT_TO, IDS_FILTER_TEXT, nullptr);
    share_ = new QCheckBox(tr("Share database connections between events"), this);
    share_->setToolTip(tr("Events with the same connection take one of a few connections for each "
                          "execution instead of keeping one each for the whole run"));
    grid->addWidget(share_, row++, 0, 1, 3);
    outer->addLayout(grid);
    outer->addStretch();
}

QLineEdit* PageProps::AddField(QGridLayout& grid, int& row, const QString& label, const QString& hint,
    std::string QuorvelRunner::*property)
{
    auto* title = new QLabel(label, this);
    auto* field = new QLineEdit(this);
    title->setBuddy(field);
    field->setAccessibleName(QString(label).remove(QStringLiteral(" :")));
    grid.addWidget(title, row++, 0, 1, 3);
    grid.addWidget(field, row++, 1);
    if (!hint.isEmpty())
        grid.addWidget(new QLabel(hint, this), row++, 1);
    fields_.push_back({ field, property });
    return field;
}

void PageProps::AddBrowse(
    QGridLayout& grid, QLineEdit* field, int row, int titleId, int filterId, const char* extension)
{
    auto* button = new QPushButton(QStringLiteral("..."), this);
    button->setAccessibleName(tr("Browse for %1").arg(field->accessibleName()));
    button->setToolTip(button->accessibleName());
    button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    connect(button, &QPushButton::clicked, this, [this, field, titleId, filterId, extension] {
        QString path
            = Dialogs().SaveFile(this, QString::fromUtf8(LoadString(titleId)), QtFilter(LoadString(filterId)), {});
        if (path.isEmpty())
            return;
        if (extension != nullptr && QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + QLatin1String(extension);
        field->setText(path);
    });
    grid.addWidget(button, row, 2);
}

void PageProps::Activate()
{
    CSmPage::Activate();
    ShowProps();
}

void PageProps::Deactivate()
{
    StoreProps();
    CSmPage::Deactivate();
}

void PageProps::SetProject(QuorvelRunner& project)
{
    project_ = &project;
    MarkSaved();
}

void PageProps::ShowProps()
{
    if (project_ == nullptr)
        return;
    for (const Field& field : fields_)
        Put(field.edit, project_->*field.property);
    share_->setChecked(project_->shareConnections != 0);
}

void PageProps::StoreProps()
{
    if (project_ == nullptr || running_)
        return;
    for (const Field& field : fields_)
        project_->*field.property = field.edit->text().toStdString();
    if (share_->isChecked() != (project_->shareConnections != 0)) // an odd stored value stays
        project_->shareConnections = share_->isChecked() ? 1 : 0;
}

void PageProps::SetRunning(bool running)
{
    running_ = running;
    for (const Field& field : fields_)
        field.edit->setReadOnly(running);
    share_->setEnabled(!running);
}

void PageProps::MarkSaved()
{
    saved_.clear();
    for (const Field& field : fields_)
        saved_.push_back(project_ != nullptr ? project_->*field.property : std::string());
    savedShare_ = project_ != nullptr && project_->shareConnections != 0;
}

bool PageProps::Changed() const
{
    if (share_->isChecked() != savedShare_)
        return true;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].edit->text().toStdString() != saved_[i])
            return true;
    }
    return false;
}
