#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>
#include <string>

// The kind text and the icon of a file, decided by its name alone: the MIME type that the
// shared MIME database gives the name, its comment ("JPEG image") and its theme icon. Nothing
// here opens a file, so the main thread never reads contents for a drawn row. Comments and
// icons are kept per MIME type, not per file. Main thread only.
class TWKindIconProvider {
public:
    TWKindIconProvider();

    // Sets the "Adwaita" icon theme when the platform names none that can be used; call once
    // after the QApplication exists.
    static void installIconThemeFallback();

    // The MIME type name for an item of this name (raw bytes) that is or is not a folder.
    QString mimeTypeNameFor(const std::string& rawName, bool isDirectory) const;
    QString kindForMimeType(const QString& mimeTypeName);
    QIcon iconForMimeType(const QString& mimeTypeName);

    QString kindForName(const std::string& rawName, bool isDirectory) {
        return kindForMimeType(mimeTypeNameFor(rawName, isDirectory));
    }
    QIcon iconForName(const std::string& rawName, bool isDirectory) {
        return iconForMimeType(mimeTypeNameFor(rawName, isDirectory));
    }
    // The icon of the item at an absolute path: one lstat tells a folder (and the root) from
    // a file; used for the few components of the path view.
    QIcon iconForPath(const std::string& rawAbsolutePath);

    // Theme icons with fallbacks built into the application.
    static QIcon trashFullIcon();
    static QIcon stopImage();
    static QIcon redoImage();

private:
    QMimeDatabase database_;
    QFileIconProvider platformIcons_;
    QHash<QString, QString> kindByType_;
    QHash<QString, QIcon> iconByType_;
};
