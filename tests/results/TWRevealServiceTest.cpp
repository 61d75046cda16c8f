#include "results/TWRevealService.h"

#include "TWResultsTestSupport.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

// Stands in for a file manager on a private session bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    void ShowItems(const QStringList& uris, const QString&) { shown << uris; }
};

class TWRevealServiceTest : public QObject {
    Q_OBJECT

private slots:
    void showItemsReachesTheFileManagerOverTheSessionBus() {
        QString daemonProgram = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemonProgram.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess daemon;
        daemon.start(daemonProgram, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                     QStringLiteral("--print-address=1")});
        QVERIFY(daemon.waitForStarted());
        QVERIFY(daemon.waitForReadyRead(5000));
        QByteArray address = daemon.readLine().trimmed();
        // Before anything in this process has asked for the session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);

        TWRevealService reveal;
        QList<QUrl> opened;
        reveal.setFallbacks(
            [&](const QUrl& url) {
                opened << url;
                return true;
            },
            [] {});
        QSignalSpy finished(&reveal, &TWRevealService::revealFinished);

        // No file manager on the bus yet: the containing folder is opened instead.
        reveal.revealPath("/tmp/caf\xe9/photo.jpg");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
        QCOMPARE(opened.size(), 1);

        QDBusConnection fileManagerBus =
            QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("fm"));
        QVERIFY(fileManagerBus.isConnected());
        FakeFileManager fileManager;
        QVERIFY(fileManagerBus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                              &fileManager, QDBusConnection::ExportAllSlots));
        QVERIFY(fileManagerBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));

        reveal.revealPath("/tmp/caf\xe9/photo.jpg");
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished[1][0].toBool(), true);
        QCOMPARE(fileManager.shown, QStringList{QStringLiteral("file:///tmp/caf%E9/photo.jpg")});
        QCOMPARE(opened.size(), 1);

        QDBusConnection::disconnectFromBus(QStringLiteral("fm"));
        daemon.kill();
        daemon.waitForFinished();
    }
};

int main(int argc, char** argv) {
    TWRevealServiceTest test;
    return runResultsTest(test, argc, argv);
}

#include "TWRevealServiceTest.moc"
