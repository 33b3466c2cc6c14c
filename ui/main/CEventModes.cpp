#include "ui/main/CEventModes.h"

#include <QHeaderView>
#include <QIcon>

namespace {

QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& text, const char* icon, int page)
{
    auto* item = new QTreeWidgetItem(parent, { text });
    item->setIcon(0, QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    item->setData(0, Qt::UserRole, page);
    return item;
}

} // namespace

CEventModes::CEventModes(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setAccessibleName(tr("Pages"));
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            emit PageChosen(item->data(0, Qt::UserRole).toInt());
    });
}

void CEventModes::Fill()
{
    clear();
    QTreeWidgetItem* root = invisibleRootItem();
    QTreeWidgetItem* project = AddItem(root, tr("Project"), "tree-project", kProject);
    AddItem(project, tr("Properties"), "tree-properties", kProperties);
    AddItem(project, tr("Report"), "tree-report", kProjectReport);
    project->setExpanded(true);
    QTreeWidgetItem* console = AddItem(root, tr("Execution Console"), "tree-console", kConsole);
    AddItem(console, tr("Log"), "tree-log", kExecLog);
    AddItem(console, tr("Report"), "tree-table", kExecReport);
    AddItem(console, tr("Summary"), "tree-report", kSummary);
    console->setExpanded(true);
    AddItem(root, tr("Settings"), "tree-settings", kSettings);
    AddItem(root, tr("Program Log"), "tree-programlog", kProgramLog);
}

void CEventModes::SelectPage(int page)
{
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == page) {
            setCurrentItem(*it);
            return;
        }
    }
}
