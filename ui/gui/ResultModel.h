#pragma once

#include <QAbstractTableModel>
#include <QModelIndexList>
#include <string>
#include <vector>

// The rows of a statement's result, as the SQL console shows them, headed by the result's column
// names (numbered when the database does not name them), and the same as text for the clipboard.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<std::vector<std::string>> rows, std::vector<std::string> names = {});

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The cells as tab-separated lines, one per row from the first to the last of them, for a
    // spreadsheet to paste; a cell between them that is not among `cells` stays empty.
    QString CellsText(const QModelIndexList& cells) const;
    // The whole result with its header line as comma-separated values, each line ended by CR LF.
    QString CsvText() const;

private:
    std::string Header(int column) const;
    // Empty for a column the row does not have.
    const std::string& Cell(int row, int column) const;

    std::vector<std::vector<std::string>> rows_;
    std::vector<std::string> names_;
    int columns_ = 0;
};
