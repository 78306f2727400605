#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "ui/main/ItemRow.h"

namespace zorvan {

// The rows of the item list; three columns show a row's name, user ID and password
// (or its mask), and the first its icon.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using Row = ItemRow;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role) override;

    // Orders the rows by a column's text, case-insensitively; rows with equal texts
    // keep their order.
    void sort(int column, Qt::SortOrder order) override;

    void ClearColumns();
    void AddColumn(const QString& heading);
    void ClearRows();
    void InsertRow(int at, Row row);
    // Many rows put in at once before row at, in their order, with one notification
    // (a view told row by row does its bookkeeping once per row).
    void InsertRows(int at, std::vector<Row> rows);
    void RemoveRow(int at);
    // The rows at these ascending positions, one notification per run of adjacent
    // rows, so that deleting a shift-selected block of a long list moves the rest once.
    void RemoveRows(const std::vector<int>& ascending);
    const Row& row(int at) const { return rows_[static_cast<std::size_t>(at)]; }
    // The row with a tag, or none.
    Row* FindTag(int tag);
    // The record of the row with a tag; kNoBlock when no row has it.
    BlockNumber BlockOfTag(int tag) {
        const Row* found = FindTag(tag);
        return found == nullptr ? kNoBlock : found->block;
    }
    // A tag for a new row: 1 after ClearRows, then counting up.
    int TakeTag() { return nextTag_++; }
    int nextTag() const { return nextTag_; }
    void SetPassword(int at, const QString& shown);
    // Column 3 of every row at once; shown holds one text per row.
    void SetPasswords(std::vector<QString> shown);
    void SetRow(int at, Row row);
    QString ColumnText(int at, int column) const;

private:
    QStringList headings_;
    std::vector<Row> rows_;
    int nextTag_ = 1;
};

}  // namespace zorvan
