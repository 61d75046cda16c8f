#pragma once

#include "setup/TWApplicationSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

// The home, configuration and data folders of a setup test: fresh temporary folders, set
// before the application reads any of them, so that no preference or file of the user who
// runs the tests is read or written.
class TWSetupTestEnvironment {
public:
    TWSetupTestEnvironment() {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            QString path = folder_.filePath(QString::fromLatin1(name));
            QDir().mkpath(path);
            ::setenv(name, QFile::encodeName(path).constData(), 1);
        }
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // The texts under test are the English ones of the code.
        ::setenv("LANGUAGE", "en", 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
    }

private:
    QTemporaryDir folder_;
};

// The main of a setup test: the environment above, a QApplication with Twinfind's identity,
// then the test object's slots.
#define TW_SETUP_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char** argv) {                                                          \
        TWSetupTestEnvironment environment;                                                    \
        QApplication application(argc, argv);                                                  \
        TWApplicationSetup::setIdentity();                                                     \
        TestObject test;                                                                       \
        return QTest::qExec(&test, argc, argv);                                                \
    }
