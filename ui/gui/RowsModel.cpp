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
    extras_.resize(rows_.size());
    endInsertRows();
}

void RowsModel::DropOldest(int count)
{
    if (count <= 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    rows_.erase(rows_.begin(), rows_.begin() + count);
    extras_.erase(extras_.begin(), extras_.begin() + count);
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
    extras_[static_cast<size_t>(row)].rowData = value;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), { kRowDataRole });
}

void RowsModel::SetCellData(int row, int column, int role, const QVariant& value)
{
    if (row < 0 || row >= rowCount() || column >= columnCount())
        return;
    std::vector<CellData>& cells = extras_[static_cast<size_t>(row)].cells;
    std::erase_if(cells, [&](const CellData& cell) { return cell.column == column && cell.role == role; });
    if (value.isValid())
        cells.push_back({ column, role, value });
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? columnCount() - 1 : column;
    emit dataChanged(index(row, first), index(row, last), { role });
}

void RowsModel::Clear()
{
    beginResetModel();
    rows_.clear();
    extras_.clear();
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
    if (!index.isValid())
        return {};
    const Extra& extra = extras_[static_cast<size_t>(index.row())];
    if (role == kRowDataRole)
        return extra.rowData;
    for (const CellData& cell : extra.cells) {
        if (cell.role == role && (cell.column == index.column() || cell.column < 0))
            return cell.value;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return Cell(index.row(), index.column());
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return titles_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
