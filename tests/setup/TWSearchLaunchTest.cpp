#include "TWSetupTestMain.h"
#include "TWSetupTestSupport.h"

#include "engine/TWSearchController.h"
#include "setup/TWAdvancedViewController.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWStandardViewController.h"
#include "support/TWFixtureTree.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

// The Qt event loop as a search's main thread.
class TWEventLoopMainThread final : public TWMainThread {
public:
    void performOnMainThread(std::function<void()> work, bool waitUntilDone) override {
        if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
            work();
            return;
        }
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work),
                                  waitUntilDone ? Qt::BlockingQueuedConnection
                                                : Qt::QueuedConnection);
    }
};

// A stand-in for the results window: a window of its own that notes the end of its search.
class TWProbeSearchWindow final : public QWidget, public TWSearchWindow {
public:
    void setStatusFieldText(const TWStatusText&) override {}
    void setStartStopButtonEnabled(bool) override {}
    void searchDidStart() override { started = true; }
    void searchDidEnd() override { ended = true; }
    bool started = false;
    bool ended = false;
};

// What the application does with a new search, with the probe window in place of the
// results window.
class TWWindowLauncher final : public TWSearchLauncher {
public:
    struct Search {
        std::shared_ptr<TWSearchController> controller;
        std::unique_ptr<TWProbeSearchWindow> window;
    };
    void launchSearch(const std::vector<std::string>& startPaths,
                      const TWSearchParams& params) override {
        Search search{TWSearchController::searchControllerWithStartPaths(startPaths, params,
                                                                         mainThread_),
                      std::make_unique<TWProbeSearchWindow>()};
        search.controller->setWindow(search.window.get());
        search.window->show();
        search.window->raise();
        search.window->activateWindow();
        search.controller->startSearch();
        searches.push_back(std::move(search));
    }
    std::vector<Search> searches;

private:
    TWEventLoopMainThread mainThread_;
};

std::vector<std::string> groupPaths(const TWSearchController& controller) {
    std::vector<std::string> paths;
    for (const TWDuplicateGroupRef& group : controller.allGroups()) {
        std::string line;
        for (const TWFileSystemPathRef& node : group->fsNodes())
            line += node->absolutePath() + "|";
        paths.push_back(line);
    }
    return paths;
}

} // namespace

class TWSearchLaunchTest : public QObject {
    Q_OBJECT
private slots:
    void searchesFromBothViewsRunSideBySideAndFinish();
};

void TWSearchLaunchTest::searchesFromBothViewsRunSideBySideAndFinish() {
    TWFixtureTree tree;
    std::string small1 = tree.file("a/notes.txt", "the same few bytes");
    std::string small2 = tree.file("b/notes copy.txt", "the same few bytes");
    tree.file("b/other.txt", "something else");
    std::string big1 = tree.fileOfSize("c/archive.bin", 20000, 'z');
    std::string big2 = tree.fileOfSize("d/archive again.bin", 20000, 'z');
    tree.fileOfSize("d/archive.dat", 20000, 'z');

    TWWindowLauncher launcher;
    TWMainWindowController window(launcher);
    window.mainWindow()->show();
    window.setStartPaths({tree.root()});

    // The standard view: identical contents, files larger than 1 KiB left out.
    window.loadStandardView();
    QWidget* standard = window.standardViewController()->view();
    control<QCheckBox>(standard, "filterSizesButton")->click();
    control<QComboBox>(standard, "filterSizesTypePopUp")->setCurrentIndex(1);
    control<QLineEdit>(standard, "filterSizesSizeField")->setText(QStringLiteral("1"));
    control<QAbstractButton>(standard, "startSearchButton")->click();

    // The advanced view: identical contents of .bin files only, typed but not committed.
    window.loadAdvancedView();
    QWidget* advanced = window.advancedViewController()->view();
    control<QCheckBox>(advanced, "filterExtensionButton")->click();
    control<QAbstractButton>(advanced, "extensionPlusButton")->click();
    auto* table = control<QListView>(advanced, "extensionTable");
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("bin"));
    control<QAbstractButton>(advanced, "startSearchButton")->click();

    // Nothing has reached the event loop yet, so the first search has not ended when the
    // second starts.
    QCOMPARE(launcher.searches.size(), 2u);
    QVERIFY(launcher.searches[0].window->started && !launcher.searches[0].window->ended);
    QVERIFY(launcher.searches[1].window->started);
    QVERIFY(launcher.searches[0].window->isVisible() && launcher.searches[1].window->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(launcher.searches[0].window->ended &&
                                 launcher.searches[1].window->ended,
                             60000);
    QCOMPARE(groupPaths(*launcher.searches[0].controller).size(), 1u);
    std::string smallGroup = groupPaths(*launcher.searches[0].controller).front();
    QVERIFY(smallGroup.find(small1) != std::string::npos);
    QVERIFY(smallGroup.find(small2) != std::string::npos);
    QCOMPARE(launcher.searches[0].controller->itemCount(), 2u);

    QCOMPARE(groupPaths(*launcher.searches[1].controller).size(), 1u);
    std::string bigGroup = groupPaths(*launcher.searches[1].controller).front();
    QVERIFY(bigGroup.find(big1) != std::string::npos);
    QVERIFY(bigGroup.find(big2) != std::string::npos);
    QCOMPARE(launcher.searches[1].controller->itemCount(), 2u);
}

TW_SETUP_TEST_MAIN(TWSearchLaunchTest)
#include "TWSearchLaunchTest.moc"
