#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class TWKindIconProvider;
class TWTrash;

// The path view: one row whose columns are the components of the selected file's path, from
// "/" down to the file, each with its icon and all but the last with a branch mark; or a
// single column holding one centred message. For a file in the Trash the components are
// "Trash" and the file's name, and every column stands for the home trash's files/ folder.
//
// Components are kept as raw bytes, so the path of a column is exact whatever the names'
// encoding. Main thread only.
class TWPathViewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    TWPathViewModel(TWKindIconProvider& kinds, const TWTrash& trash, QObject* parent = nullptr);

    void setPathViewToShowPath(const std::string& rawAbsolutePath);
    // The two components "Trash" and the item's name.
    void setPathViewToShowTrashItem(const std::string& rawName, bool isDirectory);
    void setPathViewToShowMessage(const QString& message);

    bool showsMessage() const { return components_.empty(); }
    const QString& message() const { return message_; }
    int componentCount() const { return static_cast<int>(components_.size()); }
    QStringList componentTexts() const;
    // The path of the item shown in a column: the components up to it joined, or the home
    // trash's files/ folder for a Trash path; empty for a column that shows no item.
    std::string pathToPathViewComponent(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Component {
        std::string bytes;
        QString text;
        QIcon icon;
    };
    std::string partialPath(int column) const;

    TWKindIconProvider& kinds_;
    const TWTrash& trash_;
    std::vector<Component> components_;
    bool inTrash_ = false;
    QString message_;
};
