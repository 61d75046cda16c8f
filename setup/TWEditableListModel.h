#pragma once

#include <QAbstractListModel>
#include <QStringList>

// One editable list of texts (extensions, type codes or creator codes) served to a one-column
// list view. Entries are kept exactly as typed: no trimming, no change of case, no check of
// length or characters. Rows are selectable only while the list's filter is on.
class TWEditableListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TWEditableListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    const QStringList& entries() const { return entries_; }
    // Appends the entry and returns its row.
    int appendEntry(const QString& entry);
    void setRowsSelectable(bool selectable);
    bool rowsSelectable() const { return rowsSelectable_; }

private:
    bool holdsRow(const QModelIndex& index) const;

    QStringList entries_;
    bool rowsSelectable_ = false;
};
