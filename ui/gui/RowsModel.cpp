#include "ui/gui/RowsModel.h"

#include <algorithm>

RowsModel::RowsModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent)
    , titles_(std::move(titles))
{
}

void RowsModel::Append(std::vector<QStringList> rows)
{
    if (rows.empty())
        return;
    if (maxRows_ > 0 && rows.size() > static_cast<size_t>(maxRows_)) {
        const size_t skip = rows.size() - static_cast<size_t>(maxRows_);
        dropped_ += static_cast<long long>(skip);
        rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(skip));
    }
    if (maxRows_ > 0)
        DropOldest(static_cast<int>(rows_.size() + rows.size()) - maxRows_);
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (QStringList& row : rows)
        rows_.push_back(std::move(row));
    rowData_.resize(rows_.size());
    endInsertRows();
}

void RowsModel::DropOldest(int count)
{
    if (count <= 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    rows_.erase(rows_.begin(), rows_.begin() + count);
    rowData_.erase(rowData_.begin(), rowData_.begin() + count);
    endRemoveRows();
    dropped_ += count;
}

void RowsModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QStringList& cells = rows_[static_cast<size_t>(row)];
    while (cells.size() <= column)
        cells << QString();
    cells[column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

void RowsModel::SetRowData(int row, const QVariant& value)
{
    if (row < 0 || row >= rowCount())
        return;
    rowData_[static_cast<size_t>(row)] = value;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), { kRowDataRole });
}

void RowsModel::Clear()
{
    beginResetModel();
    rows_.clear();
    rowData_.clear();
    dropped_ = 0;
    endResetModel();
}

QString RowsModel::Cell(int row, int column) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return rows_[static_cast<size_t>(row)].value(column);
}

int RowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant RowsModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && role == kRowDataRole)
        return rowData_[static_cast<size_t>(index.row())];
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return Cell(index.row(), index.column());
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return titles_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
