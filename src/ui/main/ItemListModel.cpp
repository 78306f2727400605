#include "ui/main/ItemListModel.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include "ui/main/Icons.h"

namespace zorvan {

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QString ItemListModel::ColumnText(int at, int column) const {
    const Row& r = row(at);
    switch (column) {
        case 0:
            return r.name;
        case 1:
            return r.userId;
        case 2:
            return r.password;
        case 3:
            return r.group;
        default:
            return {};
    }
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return ColumnText(index.row(), index.column());
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        return icons::RowIcon(row(index.row()).icon);
    }
    return {};
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headings_.size()) {
        return headings_[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ItemListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                  int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headings_.size()) {
        return false;
    }
    headings_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void ItemListModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Row numbers are sorted, comparing the texts in place, and the rows moved once.
    QString Row::*const text = column == 0   ? &Row::name
                               : column == 1 ? &Row::userId
                                             : &Row::password;
    std::vector<int> byText(rows_.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::stable_sort(byText.begin(), byText.end(), [&](int a, int b) {
        const int c =
            QString::compare(rows_[static_cast<std::size_t>(a)].*text,
                             rows_[static_cast<std::size_t>(b)].*text, Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> movedTo(rows_.size());
    for (std::size_t i = 0; i < byText.size(); ++i) {
        movedTo[static_cast<std::size_t>(byText[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(byText[i])]));
    }
    // Selections and persistent indexes follow their rows.
    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex& index : persistentIndexList()) {
        from << index;
        to << createIndex(movedTo[static_cast<std::size_t>(index.row())], index.column());
    }
    rows_ = std::move(sorted);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ItemListModel::ClearColumns() {
    if (headings_.isEmpty()) {
        return;
    }
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(headings_.size()) - 1);
    headings_.clear();
    endRemoveColumns();
}

void ItemListModel::AddColumn(const QString& heading) {
    const int at = static_cast<int>(headings_.size());
    beginInsertColumns(QModelIndex(), at, at);
    headings_.append(heading);
    endInsertColumns();
}

void ItemListModel::ClearRows() {
    beginResetModel();
    rows_.clear();
    nextTag_ = 1;
    endResetModel();
}

ItemListModel::Row* ItemListModel::FindTag(int tag) {
    const auto found =
        std::find_if(rows_.begin(), rows_.end(), [tag](const Row& r) { return r.tag == tag; });
    return found == rows_.end() ? nullptr : &*found;
}

void ItemListModel::InsertRow(int at, Row row) {
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
}

void ItemListModel::InsertRows(int at, std::vector<Row> rows) {
    if (rows.empty()) {
        return;
    }
    if (rows_.empty()) {
        // Into an empty list: a reset is the cheapest news for a view.
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.begin() + at, std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

void ItemListModel::RemoveRow(int at) {
    beginRemoveRows(QModelIndex(), at, at);
    rows_.erase(rows_.begin() + at);
    endRemoveRows();
}

void ItemListModel::RemoveRows(const std::vector<int>& ascending) {
    // From the bottom up so that the earlier rows keep their numbers.
    auto end = ascending.rbegin();
    while (end != ascending.rend()) {
        auto first = end;
        while (std::next(first) != ascending.rend() && *std::next(first) == *first - 1) {
            ++first;
        }
        beginRemoveRows(QModelIndex(), *first, *end);
        rows_.erase(rows_.begin() + *first, rows_.begin() + *end + 1);
        endRemoveRows();
        end = std::next(first);
    }
}

void ItemListModel::SetPassword(int at, const QString& shown) {
    rows_[static_cast<std::size_t>(at)].password = shown;
    emit dataChanged(index(at, 2), index(at, 2));
}

void ItemListModel::SetPasswords(std::vector<QString> shown) {
    const std::size_t count = std::min(shown.size(), rows_.size());
    if (count == 0) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        rows_[i].password = std::move(shown[i]);
    }
    emit dataChanged(index(0, 2), index(static_cast<int>(count) - 1, 2));
}

void ItemListModel::SetRow(int at, Row row) {
    rows_[static_cast<std::size_t>(at)] = std::move(row);
    emit dataChanged(index(at, 0), index(at, columnCount() - 1));
}

}  // namespace zorvan
