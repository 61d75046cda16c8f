#pragma once

#include "model/TWGroupOfGroups.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <QString>
#include <array>
#include <string>
#include <vector>

class TWKindIconProvider;
class TWTrash;

// The files table over the window's TWGroupOfGroups: row r is the aggregate's flat index r,
// and the nine columns show the node operations named by allTableColumnIdentifiers(). The
// name column carries the file's icon; a file gone from the disk is drawn red in every
// column, one in the Trash gray.
//
// What a row shows is read from the file system the first time the row is asked for and
// kept, so a drawn row costs its few system calls once, not once per cell and repaint;
// refreshRows() re-reads the rows a view shows and reports those that changed. Icons and
// kind texts come per MIME type from the provider. Main thread only.
class TWFilesTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        displayNameColumn,
        modifiedColumn,
        createdColumn,
        sizeStringColumn,
        kindColumn,
        parentPathComponentColumn,
        pathExtensionColumn,
        fileHFSCreatorCodeColumn,
        fileHFSTypeCodeColumn,
        columnCount_
    };
    // Raw values behind the texts (a date as QDateTime, a size as qulonglong).
    static constexpr int UnderlyingDataRole = Qt::UserRole + 1;

    // The column identifiers, in column order; the same list on every call.
    static const std::vector<std::string>& allTableColumnIdentifiers();
    static QColor missingFileColor() { return QColor(Qt::red); }
    static QColor trashedFileColor() { return QColor(Qt::gray); }

    TWFilesTableModel(TWGroupOfGroups& groups, const TWTrash& trash, TWKindIconProvider& kinds,
                      QObject* parent = nullptr);

    // To be called around any change of the aggregate's groups.
    void beginRefill() { beginResetModel(); }
    void endRefill();
    // Re-reads the rows from first to last and emits dataChanged for those that changed.
    void refreshRows(int first, int last);
    // Forgets every row read so far (after files were moved) and has views redraw.
    void forgetAllRows();

    TWFileSystemPath* nodeAtRow(int row) const { return groups_.fsPathAtIndex(row); }
    TWGroupOfGroups& groups() const { return groups_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        bool exists = false;
        bool inTrash = false;
        std::array<QString, columnCount_> texts;
        QString mimeTypeName;
        qint64 modifiedSeconds = 0;
        qint64 createdSeconds = 0;
        bool hasModified = false;
        bool hasCreated = false;
        bool operator==(const Row&) const = default;
    };
    Row readRow(TWFileSystemPath& node) const;
    const Row& rowFor(TWFileSystemPath& node) const;

    TWGroupOfGroups& groups_;
    const TWTrash& trash_;
    TWKindIconProvider& kinds_;
    mutable QHash<const TWFileSystemPath*, Row> rows_;
};
