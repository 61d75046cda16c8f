#include "results/TWGroupsTableModel.h"

#include "platform/TWDisplayText.h"

void TWGroupsTableModel::setGroups(std::vector<TWDuplicateGroupRef> groups) {
    beginResetModel();
    groups_ = std::move(groups);
    endResetModel();
}

const TWDuplicateGroupRef* TWGroupsTableModel::groupAtRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= groups_.size())
        return nullptr;
    return &groups_[static_cast<std::size_t>(row)];
}

QString TWGroupsTableModel::groupRowText(TWDuplicateGroup& group) {
    return tr("%1 like '%2' (%3)")
        .arg(group.count())
        .arg(QString::fromStdString(displayTextForBytes(group.firstNode()->lastPathComponent())))
        .arg(QString::fromStdString(group.sizeString()));
}

int TWGroupsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(groups_.size());
}

int TWGroupsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant TWGroupsTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const TWDuplicateGroupRef* group = groupAtRow(index.row());
    if (!group)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return groupRowText(**group);
    case UnderlyingDataRole:
        return QVariant::fromValue<qulonglong>((*group)->size());
    default:
        return QVariant();
    }
}

QVariant TWGroupsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section != 0)
        return QVariant();
    return tr("Duplicate groups");
}
