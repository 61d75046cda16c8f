#include "results/TWKindIconProvider.h"

#include "platform/TWDisplayText.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

const QString kDirectoryType = QStringLiteral("inode/directory");

bool iconThemeExists(const QString& name) {
    if (name.isEmpty() || name == QLatin1String("hicolor"))
        return false;
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString& folder : searchPaths)
        if (QFileInfo::exists(folder + QLatin1Char('/') + name + QLatin1String("/index.theme")))
            return true;
    return false;
}

} // namespace

TWKindIconProvider::TWKindIconProvider() {
    // The per-file lookups of the platform provider would read contents; it is only asked for
    // its generic icons.
    platformIcons_.setOptions(QFileIconProvider::DontUseCustomDirectoryIcons);
}

void TWKindIconProvider::installIconThemeFallback() {
    static const QString kFallback = QStringLiteral("Adwaita");
    if (!iconThemeExists(QIcon::themeName()))
        QIcon::setThemeName(kFallback);
    if (QIcon::fallbackThemeName().isEmpty() ||
        QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(kFallback);
}

QString TWKindIconProvider::mimeTypeNameFor(const std::string& rawName, bool isDirectory) const {
    if (isDirectory)
        return kDirectoryType;
    QString name = QString::fromStdString(displayTextForBytes(rawName));
    return database_.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name();
}

QString TWKindIconProvider::kindForMimeType(const QString& mimeTypeName) {
    auto found = kindByType_.constFind(mimeTypeName);
    if (found != kindByType_.constEnd())
        return *found;
    QString kind = database_.mimeTypeForName(mimeTypeName).comment();
    kindByType_.insert(mimeTypeName, kind);
    return kind;
}

QIcon TWKindIconProvider::iconForMimeType(const QString& mimeTypeName) {
    auto found = iconByType_.constFind(mimeTypeName);
    if (found != iconByType_.constEnd())
        return *found;
    QIcon icon;
    if (mimeTypeName == kDirectoryType) {
        icon = QIcon::fromTheme(QStringLiteral("folder"),
                                platformIcons_.icon(QAbstractFileIconProvider::Folder));
    } else {
        QMimeType type = database_.mimeTypeForName(mimeTypeName);
        icon = QIcon::fromTheme(type.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(type.genericIconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(QStringLiteral("text-x-generic"),
                                    platformIcons_.icon(QAbstractFileIconProvider::File));
    }
    iconByType_.insert(mimeTypeName, icon);
    return icon;
}

QIcon TWKindIconProvider::iconForPath(const std::string& rawAbsolutePath) {
    if (rawAbsolutePath == "/")
        return QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                platformIcons_.icon(QAbstractFileIconProvider::Drive));
    struct stat info {};
    bool isDirectory = ::stat(rawAbsolutePath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    if (isDirectory && QDir::homePath().toStdString() == rawAbsolutePath)
        return QIcon::fromTheme(QStringLiteral("user-home"), iconForMimeType(kDirectoryType));
    std::size_t slash = rawAbsolutePath.rfind('/');
    std::string name =
        slash == std::string::npos ? rawAbsolutePath : rawAbsolutePath.substr(slash + 1);
    return iconForName(name, isDirectory);
}

QIcon TWKindIconProvider::trashFullIcon() {
    return QIcon::fromTheme(QStringLiteral("user-trash-full"),
                            QIcon(QStringLiteral(":/twinfind/trash_full.png")));
}

QIcon TWKindIconProvider::stopImage() {
    return QIcon::fromTheme(QStringLiteral("process-stop"),
                            QIcon(QStringLiteral(":/twinfind/stop_button.png")));
}

QIcon TWKindIconProvider::redoImage() {
    return QIcon::fromTheme(QStringLiteral("view-refresh"),
                            QIcon(QStringLiteral(":/twinfind/redo_button.png")));
}
