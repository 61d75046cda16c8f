#include "setup/TWEditableListModel.h"

TWEditableListModel::TWEditableListModel(QObject* parent) : QAbstractListModel(parent) {}

bool TWEditableListModel::holdsRow(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && index.column() == 0 &&
           index.row() >= 0 && index.row() < entries_.size();
}

int TWEditableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant TWEditableListModel::data(const QModelIndex& index, int role) const {
    if (!holdsRow(index))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return entries_.at(index.row());
}

bool TWEditableListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!holdsRow(index) ||
        role != Qt::EditRole)
        return false;
    entries_[index.row()] = value.toString();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TWEditableListModel::flags(const QModelIndex& index) const {
    if (!holdsRow(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
    if (rowsSelectable_)
        flags |= Qt::ItemIsSelectable;
    return flags;
}

bool TWEditableListModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > entries_.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    entries_.remove(row, count);
    endRemoveRows();
    return true;
}

int TWEditableListModel::appendEntry(const QString& entry) {
    int row = static_cast<int>(entries_.size());
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry);
    endInsertRows();
    return row;
}

void TWEditableListModel::setRowsSelectable(bool selectable) {
    if (selectable == rowsSelectable_)
        return;
    rowsSelectable_ = selectable;
    if (!entries_.isEmpty())
        emit dataChanged(index(0), index(static_cast<int>(entries_.size()) - 1));
}
