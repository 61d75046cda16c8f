#include "results/TWPathViewModel.h"

#include "platform/TWDisplayText.h"
#include "platform/TWTrash.h"
#include "results/TWImageTextDelegate.h"
#include "results/TWKindIconProvider.h"

namespace {

QString display(const std::string& bytes) {
    return QString::fromStdString(displayTextForBytes(bytes));
}

std::vector<std::string> pathComponents(const std::string& path) {
    std::vector<std::string> components;
    if (!path.empty() && path[0] == '/')
        components.emplace_back("/");
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

} // namespace

TWPathViewModel::TWPathViewModel(TWKindIconProvider& kinds, const TWTrash& trash, QObject* parent)
    : QAbstractTableModel(parent), kinds_(kinds), trash_(trash) {}

void TWPathViewModel::setPathViewToShowPath(const std::string& rawAbsolutePath) {
    beginResetModel();
    message_.clear();
    inTrash_ = false;
    components_.clear();
    for (std::string& bytes : pathComponents(rawAbsolutePath))
        components_.push_back({std::move(bytes), QString(), QIcon()});
    for (std::size_t i = 0; i < components_.size(); ++i) {
        components_[i].text = display(components_[i].bytes);
        components_[i].icon = kinds_.iconForPath(partialPath(static_cast<int>(i)));
    }
    endResetModel();
}

void TWPathViewModel::setPathViewToShowTrashItem(const std::string& rawName, bool isDirectory) {
    beginResetModel();
    message_.clear();
    inTrash_ = true;
    components_.clear();
    components_.push_back({"Trash", tr("Trash"), TWKindIconProvider::trashFullIcon()});
    components_.push_back({rawName, display(rawName), kinds_.iconForName(rawName, isDirectory)});
    endResetModel();
}

void TWPathViewModel::setPathViewToShowMessage(const QString& message) {
    beginResetModel();
    components_.clear();
    inTrash_ = false;
    message_ = message;
    endResetModel();
}

QStringList TWPathViewModel::componentTexts() const {
    QStringList texts;
    for (const Component& component : components_)
        texts << component.text;
    return texts;
}

std::string TWPathViewModel::partialPath(int column) const {
    std::string path;
    for (int i = 0; i <= column; ++i) {
        const std::string& bytes = components_[static_cast<std::size_t>(i)].bytes;
        if (!path.empty() && path.back() != '/')
            path.push_back('/');
        path.append(bytes); // the root component is "/" itself
    }
    return path;
}

std::string TWPathViewModel::pathToPathViewComponent(int column) const {
    if (column < 0 || column >= componentCount())
        return std::string();
    if (inTrash_)
        return trash_.homeTrashFilesFolder();
    return partialPath(column);
}

int TWPathViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

int TWPathViewModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return showsMessage() ? 1 : componentCount();
}

Qt::ItemFlags TWPathViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (componentCount() > 1)
        flags |= Qt::ItemIsSelectable;
    return flags;
}

QVariant TWPathViewModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    int column = index.column();
    if (showsMessage()) {
        switch (role) {
        case Qt::DisplayRole:
            return message_;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case TWImageTextDelegate::IsLeafRole:
            return true;
        default:
            return QVariant();
        }
    }
    const Component& component = components_[static_cast<std::size_t>(column)];
    switch (role) {
    case Qt::DisplayRole:
        return component.text;
    case Qt::DecorationRole:
        return component.icon;
    case Qt::ToolTipRole:
        return display(pathToPathViewComponent(column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (componentCount() == 1 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    case TWImageTextDelegate::IsLeafRole:
        return column == componentCount() - 1;
    default:
        return QVariant();
    }
}

QVariant TWPathViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return QVariant();
    return showsMessage() ? QVariant() : components_[static_cast<std::size_t>(section)].text;
}
