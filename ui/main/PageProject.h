#pragma once

#include "ui/gui/CSmPage.h"

#include <vector>

class ColumnWidths;
class Quorvel;
class RunOutcomes;
class QTreeWidget;
class QPoint;

// The project's events, one row each with a check box, and the buttons that hand their commands
// to the main window. Row i always shows event i of the project; the check boxes belong to the
// list only (they choose events for Run checked, Delete and Enable/Disable). After a run has begun,
// each row also shows the event's latest outcome and value.
class PageProject : public CSmPage {
    Q_OBJECT
public:
    explicit PageProject(QWidget* parent = nullptr);

    void AddRow(const Quorvel& event);
    // A negative row means the selected row; nothing happens when there is none.
    void UpdateRow(const Quorvel& event, int row);
    void DeleteRow(int row);
    void RemoveAllRows();
    std::vector<int> GetCheckedRows() const;
    void SetChecked(int row, bool checked);
    // The first selected row, or -1.
    int GetSelectedRow() const;
    void SelectRow(int row);
    // 0 when `row` is 0 or more; else tells the user that no event was selected and answers 1.
    int CheckSelection(int row);
    int RowCount() const;
    QTreeWidget& List() { return *list_; }
    void StoreColumnWidths() const;
    // Row i shows the outcome of event i of the run.
    void ShowOutcomes(const RunOutcomes& run);

signals:
    // A command for the main window; connected queued, so that it runs after this page's handler.
    void Command(int id);

protected:
    // Return opens the list's selected event, Delete deletes it (after the usual question).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddButton(class QBoxLayout* layout, const QString& text, int id);
    void ShowContextMenu(const QPoint& at);

    QTreeWidget* list_;
    ColumnWidths* widths_;
};
