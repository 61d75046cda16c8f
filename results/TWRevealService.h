#pragma once

#include <QObject>
#include <QUrl>
#include <functional>
#include <string>

// Shows an item in the desktop's file manager without ever blocking the main thread: first
// the D-Bus call org.freedesktop.FileManager1.ShowItems with the item's URI, asynchronous and
// with a short timeout; when no file manager answers, the containing folder is opened with
// QDesktopServices; when that fails too, a beep. Main thread only.
class TWRevealService : public QObject {
    Q_OBJECT
public:
    using OpenFolder = std::function<bool(const QUrl&)>;
    using Beep = std::function<void()>;

    explicit TWRevealService(QObject* parent = nullptr);

    // Tests replace the desktop's folder opener and the beep.
    void setFallbacks(OpenFolder openFolder, Beep beep);
    void setTimeout(int milliseconds) { timeout_ = milliseconds; }

    // Asks for the item at the absolute path (raw bytes) to be shown selected.
    virtual void revealPath(const std::string& rawAbsolutePath);

signals:
    // How the last request ended: shown by the file manager, by opening its folder, or not
    // at all (after the beep).
    void revealFinished(bool byFileManager, bool byFolder);

private:
    void fallBack(const std::string& rawAbsolutePath);

    OpenFolder openFolder_;
    Beep beep_;
    int timeout_ = 2500;
};
