// Shows the main window with one of the search views, set up as a user might have it, and
// saves a picture of it: setup_screenshot --view standard|advanced --output FILE.
// scripts/screenshot-setup.sh runs it under a virtual X server for the README's pictures.

#include "TWSetupTestSupport.h"

#include "setup/TWAdvancedViewController.h"
#include "setup/TWApplicationSetup.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWStandardViewController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

// Folders to show in the start-folder line; they need not exist.
const std::vector<std::string> kShownFolders = {"/home/ann/Pictures", "/media/ann/Backup"};

void addEntries(QWidget* view, const char* prefix, const QStringList& entries) {
    auto* table = control<QListView>(view, (QByteArray(prefix) + "Table").constData());
    auto* plus = control<QAbstractButton>(view, (QByteArray(prefix) + "PlusButton").constData());
    for (const QString& entry : entries) {
        plus->click();
        auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
        QTest::keyClicks(editor, entry);
        QTest::keyClick(editor, Qt::Key_Return);
        // Return hands the text over through the event loop, as between a user's key presses.
        QCoreApplication::processEvents();
    }
    table->clearSelection();
}

void setUpStandard(QWidget* view) {
    control<QCheckBox>(view, "matchNamesButton")->click();
    control<QAbstractButton>(view, "similarRadio")->click();
    control<QCheckBox>(view, "filterInvisiblesButton")->click();
    control<QCheckBox>(view, "filterSizesButton")->click();
    control<QLineEdit>(view, "filterSizesSizeField")->setText(QStringLiteral("4"));
}

void setUpAdvanced(QWidget* view) {
    control<QCheckBox>(view, "matchDateModifiedButton")->click();
    control<QCheckBox>(view, "filterInvisiblesButton")->click();
    control<QCheckBox>(view, "filterSymLinkAndAliasButton")->click();
    control<QCheckBox>(view, "filterSizeLessThanButton")->click();
    control<QLineEdit>(view, "filterSizeLessThanField")->setText(QStringLiteral("1"));
    control<QComboBox>(view, "filterSizeLessThanPopUp")->setCurrentIndex(1);
    control<QCheckBox>(view, "filterExtensionButton")->click();
    addEntries(view, "extension", {QStringLiteral("jpg"), QStringLiteral("JPG"),
                                   QStringLiteral("jpeg"), QStringLiteral("heic")});
    control<QCheckBox>(view, "filterHFSTypeButton")->click();
    control<QAbstractButton>(view, "hfsTypeExcludeRadio")->click();
    addEntries(view, "hfsType", {QStringLiteral("APPL")});
}

} // namespace

int main(int argc, char** argv) {
    QString view = QStringLiteral("advanced");
    QString output;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--view") == 0)
            view = QString::fromLocal8Bit(argv[i + 1]);
        else if (qstrcmp(argv[i], "--output") == 0)
            output = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (output.isEmpty() || (view != QLatin1String("standard") && view != QLatin1String("advanced"))) {
        std::fputs("usage: setup_screenshot --view standard|advanced --output FILE\n", stderr);
        return 2;
    }
    // The user's own preference stays untouched.
    QTemporaryDir configuration;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()).constData(), 1);

    QApplication application(argc, argv);
    TWApplicationSetup::setIdentity();
    TWApplicationSetup::installTranslations();

    TWRecordingLauncher launcher;
    TWMainWindowController window(launcher);
    if (view == QLatin1String("standard"))
        window.loadStandardView();
    else
        window.loadAdvancedView();
    window.mainWindow()->show();
    if (!QTest::qWaitForWindowExposed(window.mainWindow()))
        return 1;
    // Set up while shown, as a user would, so that the labels know their final widths.
    window.setStartPaths(kShownFolders);
    if (view == QLatin1String("standard"))
        setUpStandard(window.standardViewController()->view());
    else
        setUpAdvanced(window.advancedViewController()->view());
    QTest::qWait(300);
    if (!window.mainWindow()->grab().save(output)) {
        std::fprintf(stderr, "setup_screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
