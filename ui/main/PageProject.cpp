#include "ui/main/PageProject.h"

#include "external/support/MessageBox.h"
#include "model/Quorvel.h"
#include "res/Strings.h"
#include "ui/gui/ColumnWidths.h"
#include "ui/gui/UserDialogs.h"
#include "ui/main/CommandIds.h"
#include "ui/main/RunOutcomes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const std::initializer_list<const char*> kWidthKeys
    = { "ProjectW1", "ProjectW2", "ProjectW3", "ProjectW4", "ProjectW5" };

void FillRow(QTreeWidgetItem& item, const Quorvel& event)
{
    item.setText(0, QString::fromStdString(event.Description(0)));
    item.setText(1, QString::fromStdString(event.Description(1)));
    item.setText(2, QString::fromStdString(event.Description(2)));
    item.setText(3, QString::fromStdString(event.EventNote));
    item.setText(4, event.enabled != 0 ? QObject::tr("Yes") : QObject::tr("No"));
}

constexpr int kOutcomeColumn = 5;
constexpr int kValueColumn = 6;
constexpr int kColumns = 7;

void ShowOutcome(QTreeWidgetItem& item, const RunOutcomes::Event& event)
{
    const RunOutcomes::Outcome shown = event.Shown();
    item.setText(kOutcomeColumn, RunOutcomes::Word(shown));
    item.setIcon(kOutcomeColumn, RunOutcomes::Icon(shown));
    item.setForeground(
        kOutcomeColumn, shown == RunOutcomes::Outcome::kNone ? QBrush() : QBrush(RunOutcomes::Colour(shown)));
    QFont font = item.font(kOutcomeColumn);
    font.setBold(shown == RunOutcomes::Outcome::kFailed);
    item.setFont(kOutcomeColumn, font);
    item.setText(kValueColumn, event.value);
    const QString described = RunOutcomes::Describe(event);
    for (int column = 0; column < kColumns; ++column) {
        item.setToolTip(column, described);
        item.setData(column, Qt::AccessibleDescriptionRole, described);
    }
}

} // namespace

PageProject::PageProject(QWidget* parent)
    : CSmPage(parent)
    , list_(new QTreeWidget(this))
    , widths_(nullptr)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(tr("Events"), this);
    title->setBuddy(list_);
    layout->addWidget(title);
    list_->setHeaderLabels(
        { tr("Event"), tr("Condition"), tr("Action"), tr("Note"), tr("Enabled"), tr("Outcome"), tr("Value") });
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionsClickable(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setAccessibleName(tr("Events"));
    widths_ = ColumnWidths::Attach(*list_, *list_->header(), kWidthKeys);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { emit Command(ID_MODIFY_EVENT); });
    connect(list_, &QWidget::customContextMenuRequested, this, &PageProject::ShowContextMenu);
    list_->installEventFilter(this);
    layout->addWidget(list_, 1);
    auto* buttons = new QHBoxLayout;
    AddButton(buttons, tr("&Add Event..."), ID_ADD_EVENT);
    AddButton(buttons, tr("Edit..."), ID_MODIFY_EVENT);
    AddButton(buttons, tr("Remove"), ID_DELETE_EVENT);
    buttons->addStretch();
    AddButton(buttons, tr("&Run"), ID_RUN_PROJECT);
    layout->addLayout(buttons);
}

void PageProject::AddButton(QBoxLayout* layout, const QString& text, int id)
{
    auto* button = new QPushButton(text, this);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    connect(button, &QPushButton::clicked, this, [this, id] {
        if (id != ID_MODIFY_EVENT || CheckSelection(GetSelectedRow()) == 0)
            emit Command(id);
    });
    layout->addWidget(button);
}

bool PageProject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int id = 0;
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                id = ID_MODIFY_EVENT;
            else if (key->key() == Qt::Key_Delete)
                id = ID_DELETE_EVENT;
        }
        if (id != 0) {
            emit Command(id);
            return true;
        }
    }
    return CSmPage::eventFilter(watched, event);
}

void PageProject::ShowContextMenu(const QPoint& at)
{
    QMenu menu(this);
    const auto add = [&](const QString& text, int id) {
        QAction* action = menu.addAction(text);
        action->setData(id);
        return action;
    };
    add(tr("&Add...\tCtrl+I"), ID_ADD_EVENT);
    menu.setDefaultAction(add(tr("&Edit..."), ID_MODIFY_EVENT));
    add(tr("Insert Copy"), ID_COPY_EVENT);
    add(tr("&Delete"), ID_DELETE_EVENT);
    menu.addSeparator();
    add(tr("Enable/Disable\tCtrl+E"), ID_TOGGLE_ENABLED);
    if (QAction* chosen = menu.exec(list_->viewport()->mapToGlobal(at)))
        emit Command(chosen->data().toInt());
}

void PageProject::AddRow(const Quorvel& event)
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    FillRow(*item, event);
    list_->addTopLevelItem(item);
}

void PageProject::UpdateRow(const Quorvel& event, int row)
{
    if (row < 0)
        row = GetSelectedRow();
    if (QTreeWidgetItem* item = list_->topLevelItem(row))
        FillRow(*item, event);
}

void PageProject::DeleteRow(int row)
{
    delete list_->takeTopLevelItem(row);
}

void PageProject::RemoveAllRows()
{
    list_->clear();
}

std::vector<int> PageProject::GetCheckedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        if (list_->topLevelItem(row)->checkState(0) == Qt::Checked)
            rows.push_back(row);
    }
    return rows;
}

void PageProject::SetChecked(int row, bool checked)
{
    if (QTreeWidgetItem* item = list_->topLevelItem(row))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int PageProject::GetSelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    int first = -1;
    for (QTreeWidgetItem* item : selected) {
        const int row = list_->indexOfTopLevelItem(item);
        if (first < 0 || row < first)
            first = row;
    }
    return first;
}

void PageProject::SelectRow(int row)
{
    list_->clearSelection();
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        item->setSelected(true);
        list_->setCurrentItem(item);
    }
}

int PageProject::CheckSelection(int row)
{
    if (row >= 0)
        return 0;
    AskUser(this, QString::fromUtf8(LoadString(IDS_NO_SELECTION)), QString::fromUtf8(LoadString(IDS_WARNING)),
        MB_OK | MB_ICONERROR);
    return 1;
}

int PageProject::RowCount() const
{
    return list_->topLevelItemCount();
}

void PageProject::StoreColumnWidths() const
{
    widths_->Store();
}

void PageProject::ShowOutcomes(const RunOutcomes& run)
{
    const int rows = std::min(list_->topLevelItemCount(), static_cast<int>(run.events.size()));
    for (int row = 0; row < rows; ++row)
        ShowOutcome(*list_->topLevelItem(row), run.events[static_cast<size_t>(row)]);
}
