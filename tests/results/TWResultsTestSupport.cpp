#include "TWResultsTestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

int runResultsTest(QObject& test, int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    QByteArray root = home.path().toLocal8Bit();
    ::setenv("HOME", root.constData(), 1);
    ::setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    ::setenv("XDG_CACHE_HOME", (root + "/.cache").constData(), 1);
    ::setenv("XDG_RUNTIME_DIR", root.constData(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/twinfind-test-bus", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

TWFolderTrash::TWFolderTrash(std::string filesFolder) : filesFolder_(std::move(filesFolder)) {
    ::mkdir(filesFolder_.c_str(), 0700);
}

TWTrashOutcome TWFolderTrash::moveToTrash(const std::string& absolutePath) {
    TWTrashOutcome outcome;
    if (refused.contains(absolutePath)) {
        outcome.error = EACCES;
        return outcome;
    }
    std::string name = absolutePath.substr(absolutePath.rfind('/') + 1);
    std::string target = filesFolder_ + "/" + name;
    struct stat info {};
    for (int n = 2; ::lstat(target.c_str(), &info) == 0; ++n)
        target = filesFolder_ + "/" + name + "." + std::to_string(n);
    if (std::rename(absolutePath.c_str(), target.c_str()) != 0) {
        outcome.error = errno;
        return outcome;
    }
    ++moves;
    outcome.moved = true;
    outcome.newPath = target;
    return outcome;
}

bool TWFolderTrash::isInsideTrash(const std::string& absolutePath) const {
    return absolutePath.size() > filesFolder_.size() &&
           absolutePath.compare(0, filesFolder_.size(), filesFolder_) == 0 &&
           absolutePath[filesFolder_.size()] == '/';
}

QMessageBox* openMessageBox(QWidget* window) {
    const auto boxes = window->findChildren<QMessageBox*>();
    for (QMessageBox* box : boxes)
        if (box->isVisible())
            return box;
    return nullptr;
}
