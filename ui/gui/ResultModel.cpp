#include "ui/gui/ResultModel.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

// A field as a spreadsheet reads it back: in double quotes, its own quotes doubled, when it holds
// the separator, a quote or a line break.
void AppendField(std::string& text, const std::string& field, char separator)
{
    if (field.find_first_of(std::string { separator, '"', '\r', '\n' }) == std::string::npos) {
        text += field;
        return;
    }
    text += '"';
    for (const char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
}

} // namespace

void ResultModel::SetRows(std::vector<std::vector<std::string>> rows, std::vector<std::string> names)
{
    beginResetModel();
    rows_ = std::move(rows);
    names_ = std::move(names);
    columns_ = static_cast<int>(std::max(names_.size(), rows_.empty() ? 0 : rows_.front().size()));
    endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return QString::fromStdString(Cell(index.row(), index.column()));
}

const std::string& ResultModel::Cell(int row, int column) const
{
    static const std::string kNone;
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    const auto at = static_cast<std::size_t>(column);
    return at < cells.size() ? cells[at] : kNone;
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromStdString(Header(section));
}

std::string ResultModel::Header(int column) const
{
    const auto at = static_cast<std::size_t>(column);
    return at < names_.size() ? names_[at] : tr("Column %1").arg(column + 1).toStdString();
}

QString ResultModel::CellsText(const QModelIndexList& cells) const
{
    std::set<std::pair<int, int>> chosen;
    for (const QModelIndex& cell : cells) {
        if (cell.isValid() && cell.model() == this)
            chosen.emplace(cell.row(), cell.column());
    }
    if (chosen.empty())
        return {};
    int left = columns_;
    int right = -1;
    for (const auto& [row, column] : chosen) {
        left = std::min(left, column);
        right = std::max(right, column);
    }
    std::string text;
    for (int row = chosen.begin()->first; row <= chosen.rbegin()->first; ++row) {
        if (!text.empty())
            text += '\n';
        for (int column = left; column <= right; ++column) {
            if (column > left)
                text += '\t';
            if (chosen.count({ row, column }) != 0)
                AppendField(text, Cell(row, column), '\t');
        }
    }
    return QString::fromStdString(text);
}

QString ResultModel::CsvText() const
{
    if (columns_ == 0)
        return {};
    std::string text;
    const auto line = [&](const auto& field) { // field(column) gives the text of a column
        for (int column = 0; column < columns_; ++column) {
            if (column > 0)
                text += ',';
            AppendField(text, field(column), ',');
        }
        text += "\r\n";
    };
    line([this](int column) { return Header(column); });
    for (int row = 0; row < rowCount(); ++row)
        line([this, row](int column) { return Cell(row, column); });
    return QString::fromStdString(text);
}
