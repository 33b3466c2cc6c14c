#pragma once

#include "external/support/TextLineScanner.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QFile>
#include <QStringList>
#include <deque>
#include <span>
#include <vector>

// The execution report as a table: the header line gives the columns, every record line a row.
// A report of a long run holds millions of lines, so the model keeps only where each row lies in
// the file and reads the rows that the view asks for, keeping the latest few thousand. A line
// whose check failed stands out by its colour, a bold status and the failed icon.
class ExecReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ExecReportModel(QObject* parent = nullptr);

    // Forgets rows and columns and reads further rows from `path` in `encoding`.
    void Reset(const QString& path, TextEncoding encoding);
    void SetColumns(const QStringList& columns);
    void AppendRows(std::span<const LineSpan> rows);
    // The fields of a row: one per column, the fields beyond the last column joined to it.
    QStringList Fields(int row) const;
    bool Failed(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The fields of a line split at its tabs, as the report writes them.
    static QStringList SplitLine(std::string_view bytes, TextEncoding encoding);

private:
    QStringList ReadFields(int row) const;

    QStringList columns_;
    int statusColumn_ = -1;
    std::deque<LineSpan> rows_; // grows without moving what it holds: no long copy as rows arrive
    TextEncoding encoding_ = TextEncoding::EightBit;
    mutable QFile file_;
    mutable QCache<int, QStringList> cache_;
};
