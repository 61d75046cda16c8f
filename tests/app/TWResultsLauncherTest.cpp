#include "../setup/TWSetupTestMain.h"

#include "app/TWResultsLauncher.h"
#include "engine/TWSearchController.h"
#include "platform/TWTrash.h"
#include "results/TWQtMainThread.h"
#include "results/TWResultsWindowController.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWStandardViewController.h"
#include "support/TWFixtureTree.h"

#include <QAbstractButton>
#include <QMainWindow>

namespace {

std::vector<TWResultsWindowController*> resultsWindows() {
    std::vector<TWResultsWindowController*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TWResultsWindowController*>(widget))
            if (window->isVisible())
                windows.push_back(window);
    return windows;
}

bool allFinished(const TWResultsLauncher& launcher) {
    for (const auto& search : launcher.liveSearches())
        if (search->isRunning())
            return false;
    return true;
}

} // namespace

// The application's wiring: the views' start button opens a real results window per search.
class TWResultsLauncherTest : public QObject {
    Q_OBJECT
private slots:
    void startButtonOpensResultsWindowsThatFinishSideBySide();
    void quittingLetsRunningSearchesEnd();
};

void TWResultsLauncherTest::startButtonOpensResultsWindowsThatFinishSideBySide() {
    TWFixtureTree tree;
    std::string first = tree.file("a/notes.txt", "the same few bytes");
    std::string second = tree.file("b/notes.txt", "the same few bytes");
    tree.file("b/other.txt", "something else");

    TWResultsLauncher launcher(TWFreedesktopTrash::standard(), TWQtMainThread::instance());
    TWMainWindowController main(launcher);
    main.mainWindow()->show();
    main.setStartPaths({tree.root()});
    main.loadStandardView();
    auto* start = main.standardViewController()->view()->findChild<QAbstractButton*>(
        QStringLiteral("startSearchButton"));
    QVERIFY(start && start->isEnabled());
    start->click();
    start->click();

    QCOMPARE(resultsWindows().size(), 2u);
    QTRY_VERIFY_WITH_TIMEOUT(allFinished(launcher), 60000);
    auto searches = launcher.liveSearches();
    QCOMPARE(searches.size(), 2u);
    for (const auto& search : searches) {
        QCOMPARE(search->groupCount(), 1u);
        QCOMPARE(search->itemCount(), 2u);
        const auto& nodes = search->allGroups().front()->fsNodes();
        std::vector<std::string> paths{nodes[0]->absolutePath(), nodes[1]->absolutePath()};
        std::sort(paths.begin(), paths.end());
        QCOMPARE(paths, (std::vector<std::string>{first, second}));
    }
    searches.clear();
    // Closing a finished search's window frees its controller.
    for (TWResultsWindowController* window : resultsWindows())
        window->close();
    QTRY_VERIFY(launcher.liveSearches().empty());
}

void TWResultsLauncherTest::quittingLetsRunningSearchesEnd() {
    TWFixtureTree tree;
    for (int i = 0; i < 2000; ++i)
        tree.file("many/f" + std::to_string(i), "x");

    TWResultsLauncher launcher(TWFreedesktopTrash::standard(), TWQtMainThread::instance());
    launcher.launchSearch({tree.root()}, {{"TWSizesMatch", ""}});
    QCOMPARE(launcher.liveSearches().size(), 1u);
    launcher.stopRunningSearches(30000);
    QVERIFY(allFinished(launcher));
    for (TWResultsWindowController* window : resultsWindows())
        window->close();
}

TW_SETUP_TEST_MAIN(TWResultsLauncherTest)
#include "TWResultsLauncherTest.moc"
