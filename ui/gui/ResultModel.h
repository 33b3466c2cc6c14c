#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

// The rows of a statement's result, as the SQL console shows them. Columns are numbered: the
// database library hands out values, not column names.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<std::vector<std::string>> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::vector<std::string>> rows_;
    int columns_ = 0;
};
