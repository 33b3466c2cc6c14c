#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <deque>
#include <vector>

// A list of text rows under fixed column titles, for lists that grow while a run lasts. Rows are
// appended in batches (one insert notification per batch); with a row limit the oldest rows make
// room for new ones, and `Dropped` counts what was let go. Each row may also carry one value for
// a delegate that draws it (kRowDataRole, in every column), and values for further roles of its
// cells (an icon, a colour, a tooltip that is not the cell's text).
class RowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kRowDataRole = Qt::UserRole + 1;

    explicit RowsModel(QStringList titles, QObject* parent = nullptr);

    // 0 keeps every row.
    void SetMaxRows(int maxRows) { maxRows_ = maxRows; }
    int MaxRows() const { return maxRows_; }
    // Rows that the caller let go before appending them.
    void CountDropped(long long rows) { dropped_ += rows; }
    void Append(std::vector<QStringList> rows);
    void SetCell(int row, int column, const QString& text);
    void SetRowData(int row, const QVariant& value);
    // `value` for `role` of a cell; column -1 sets it for every cell of the row, and an invalid
    // value takes it back.
    void SetCellData(int row, int column, int role, const QVariant& value);
    void Clear();
    QString Cell(int row, int column) const;
    long long Dropped() const { return dropped_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void DropOldest(int count);

    struct CellData {
        int column; // -1: every column
        int role;
        QVariant value;
    };
    struct Extra {
        QVariant rowData;
        std::vector<CellData> cells;
    };

    QStringList titles_;
    std::deque<QStringList> rows_;
    std::deque<Extra> extras_; // beside rows_, one per row
    int maxRows_ = 0;
    long long dropped_ = 0;
};
