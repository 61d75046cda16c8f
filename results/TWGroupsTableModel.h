#pragma once

#include "model/TWDuplicateGroup.h"

#include <QAbstractTableModel>
#include <vector>

// The groups table: one row per published group, in the search's order (largest total
// first), each reading "N like 'NAME' (SIZE)". Shows no rows while a search runs.
class TWGroupsTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The group's combined size in bytes, for anything that orders rows.
    static constexpr int UnderlyingDataRole = Qt::UserRole + 1;

    explicit TWGroupsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setGroups(std::vector<TWDuplicateGroupRef> groups);
    // Nothing for a row outside the groups.
    const TWDuplicateGroupRef* groupAtRow(int row) const;
    static QString groupRowText(TWDuplicateGroup& group);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<TWDuplicateGroupRef> groups_;
};
