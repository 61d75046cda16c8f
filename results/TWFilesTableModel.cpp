#include "results/TWFilesTableModel.h"

#include "platform/TWDisplayText.h"
#include "platform/TWTrash.h"
#include "results/TWKindIconProvider.h"

#include <QDateTime>
#include <QLocale>

namespace {

QString display(const std::string& bytes) {
    return QString::fromStdString(displayTextForBytes(bytes));
}

// Abbreviated month, two-digit day, four-digit year, in the user's language: "Dec 11 2026".
QString dateText(qint64 seconds) {
    QDate date = QDateTime::fromSecsSinceEpoch(seconds).date();
    return QLocale().toString(date, QStringLiteral("MMM dd yyyy"));
}

std::string lastComponentOf(const std::string& path) {
    if (path == "/")
        return path;
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

const std::vector<std::string>& TWFilesTableModel::allTableColumnIdentifiers() {
    static const std::vector<std::string> identifiers = {
        "displayName",
        "modified",
        "created",
        "sizeString",
        "kind",
        "parentPathComponent",
        "pathExtension",
        "fileHFSCreatorCode",
        "fileHFSTypeCode",
    };
    return identifiers;
}

TWFilesTableModel::TWFilesTableModel(TWGroupOfGroups& groups, const TWTrash& trash,
                                     TWKindIconProvider& kinds, QObject* parent)
    : QAbstractTableModel(parent), groups_(groups), trash_(trash), kinds_(kinds) {}

void TWFilesTableModel::endRefill() {
    rows_.clear();
    endResetModel();
}

TWFilesTableModel::Row TWFilesTableModel::readRow(TWFileSystemPath& node) const {
    Row row;
    row.exists = node.exists();
    row.inTrash = node.isInTrash(trash_);
    row.texts[displayNameColumn] = QString::fromStdString(node.displayName());
    if (auto modified = node.modified()) {
        row.hasModified = true;
        row.modifiedSeconds = modified->seconds;
        row.texts[modifiedColumn] = dateText(modified->seconds);
    }
    if (auto created = node.created()) {
        row.hasCreated = true;
        row.createdSeconds = created->seconds;
        row.texts[createdColumn] = dateText(created->seconds);
    }
    row.texts[sizeStringColumn] = QString::fromStdString(node.sizeString());
    row.mimeTypeName = kinds_.mimeTypeNameFor(node.lastPathComponent(), node.isDirectory());
    row.texts[kindColumn] = kinds_.kindForMimeType(row.mimeTypeName);
    row.texts[parentPathComponentColumn] =
        row.inTrash ? tr("Trash") : display(lastComponentOf(node.parentPath()));
    row.texts[pathExtensionColumn] = display(node.pathExtension());
    row.texts[fileHFSCreatorCodeColumn] = display(node.fileHFSCreatorCode());
    row.texts[fileHFSTypeCodeColumn] = display(node.fileHFSTypeCode());
    return row;
}

const TWFilesTableModel::Row& TWFilesTableModel::rowFor(TWFileSystemPath& node) const {
    auto found = rows_.find(&node);
    if (found == rows_.end())
        found = rows_.insert(&node, readRow(node));
    return *found;
}

void TWFilesTableModel::refreshRows(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    int changedFrom = -1;
    auto report = [&](int upTo) {
        if (changedFrom >= 0)
            emit dataChanged(index(changedFrom, 0), index(upTo, columnCount_ - 1));
        changedFrom = -1;
    };
    for (int r = first; r <= last; ++r) {
        TWFileSystemPath* node = nodeAtRow(r);
        auto found = rows_.find(node);
        if (found == rows_.end()) {
            report(r - 1); // never drawn: read when it is
            continue;
        }
        Row fresh = readRow(*node);
        if (fresh == *found) {
            report(r - 1);
            continue;
        }
        *found = std::move(fresh);
        if (changedFrom < 0)
            changedFrom = r;
    }
    report(last);
}

void TWFilesTableModel::forgetAllRows() {
    rows_.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount_ - 1));
}

int TWFilesTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : groups_.fileCount();
}

int TWFilesTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

Qt::ItemFlags TWFilesTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant TWFilesTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    TWFileSystemPath* node = nodeAtRow(index.row());
    if (!node)
        return QVariant();
    int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return rowFor(*node).texts[static_cast<std::size_t>(column)];
    case Qt::ToolTipRole:
        return column == displayNameColumn ? display(node->absolutePath()) : QVariant();
    case Qt::DecorationRole:
        if (column != displayNameColumn)
            return QVariant();
        return kinds_.iconForMimeType(rowFor(*node).mimeTypeName);
    case Qt::ForegroundRole: {
        const Row& row = rowFor(*node);
        if (!row.exists)
            return missingFileColor();
        if (row.inTrash)
            return trashedFileColor();
        return QVariant();
    }
    case UnderlyingDataRole: {
        const Row& row = rowFor(*node);
        switch (column) {
        case modifiedColumn:
            return row.hasModified ? QVariant(QDateTime::fromSecsSinceEpoch(row.modifiedSeconds))
                                   : QVariant();
        case createdColumn:
            return row.hasCreated ? QVariant(QDateTime::fromSecsSinceEpoch(row.createdSeconds))
                                  : QVariant();
        case sizeStringColumn:
            return QVariant::fromValue<qulonglong>(node->fileSize());
        default:
            return row.texts[static_cast<std::size_t>(column)];
        }
    }
    default:
        return QVariant();
    }
}

QVariant TWFilesTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case displayNameColumn:
        return tr("Name");
    case modifiedColumn:
        return tr("Date Modified");
    case createdColumn:
        return tr("Date Created");
    case sizeStringColumn:
        return tr("Size");
    case kindColumn:
        return tr("Kind");
    case parentPathComponentColumn:
        return tr("Folder");
    case pathExtensionColumn:
        return tr("Extension");
    case fileHFSCreatorCodeColumn:
        return tr("Creator");
    case fileHFSTypeCodeColumn:
        return tr("Type");
    default:
        return QVariant();
    }
}
