#include "results/TWRevealService.h"

#include "results/TWFileUri.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>

TWRevealService::TWRevealService(QObject* parent)
    : QObject(parent), openFolder_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      beep_([] { QApplication::beep(); }) {}

void TWRevealService::setFallbacks(OpenFolder openFolder, Beep beep) {
    openFolder_ = std::move(openFolder);
    beep_ = std::move(beep);
}

void TWRevealService::revealPath(const std::string& rawAbsolutePath) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fallBack(rawAbsolutePath);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QString::fromLatin1(fileUriForRawPath(rawAbsolutePath))} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeout_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, rawAbsolutePath] {
        watcher->deleteLater();
        if (watcher->isError()) {
            fallBack(rawAbsolutePath);
            return;
        }
        emit revealFinished(true, false);
    });
}

void TWRevealService::fallBack(const std::string& rawAbsolutePath) {
    QUrl folder = QUrl::fromEncoded(fileUriForRawPath(containingFolderOfRawPath(rawAbsolutePath)));
    if (openFolder_ && openFolder_(folder)) {
        emit revealFinished(false, true);
        return;
    }
    if (beep_)
        beep_();
    emit revealFinished(false, false);
}
