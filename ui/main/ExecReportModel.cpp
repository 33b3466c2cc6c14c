#include "ui/main/ExecReportModel.h"

#include "ui/main/RunOutcomes.h"

#include <QFont>

namespace {

constexpr int kCachedRows = 4096;

} // namespace

ExecReportModel::ExecReportModel(QObject* parent)
    : QAbstractTableModel(parent)
    , cache_(kCachedRows)
{
}

void ExecReportModel::Reset(const QString& path, TextEncoding encoding)
{
    beginResetModel();
    columns_.clear();
    statusColumn_ = -1;
    rows_.clear();
    cache_.clear();
    encoding_ = encoding;
    file_.close();
    file_.setFileName(path);
    file_.open(QIODevice::ReadOnly); // when it fails, rows read as empty
    endResetModel();
}

void ExecReportModel::SetColumns(const QStringList& columns)
{
    beginResetModel();
    columns_ = columns;
    statusColumn_ = static_cast<int>(columns_.indexOf(QStringLiteral("Status")));
    cache_.clear();
    endResetModel();
}

void ExecReportModel::AppendRows(std::span<const LineSpan> rows)
{
    if (rows.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
}

QStringList ExecReportModel::SplitLine(std::string_view bytes, TextEncoding encoding)
{
    return QString::fromStdU16String(DecodeLine(bytes, encoding)).split(QLatin1Char('\t'));
}

QStringList ExecReportModel::ReadFields(int row) const
{
    const LineSpan& span = rows_[static_cast<size_t>(row)];
    if (!file_.isOpen() || !file_.seek(span.offset))
        return {};
    const QByteArray bytes = file_.read(span.length);
    QStringList fields = SplitLine(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), encoding_);
    // A tab inside the last field (an action statement) keeps the statement whole in its column.
    const qsizetype last = columns_.size() - 1;
    if (last >= 0 && fields.size() > last + 1)
        fields = fields.mid(0, last) << fields.mid(last).join(QLatin1Char('\t'));
    return fields;
}

QStringList ExecReportModel::Fields(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (const QStringList* cached = cache_.object(row))
        return *cached;
    QStringList fields = ReadFields(row);
    cache_.insert(row, new QStringList(fields));
    return fields;
}

int ExecReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ExecReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

bool ExecReportModel::Failed(int row) const
{
    return statusColumn_ >= 0 && Fields(row).value(statusColumn_) == QLatin1String("FAILED");
}

QVariant ExecReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Fields(index.row()).value(index.column());
    const bool status = index.column() == statusColumn_;
    if (role == Qt::ForegroundRole || (status && (role == Qt::DecorationRole || role == Qt::FontRole))) {
        if (!Failed(index.row()))
            return {};
        if (role == Qt::ForegroundRole)
            return RunOutcomes::Colour(RunOutcomes::Outcome::kFailed);
        if (role == Qt::DecorationRole)
            return RunOutcomes::Icon(RunOutcomes::Outcome::kFailed);
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant ExecReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    return columns_.value(section);
}
