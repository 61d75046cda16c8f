#include "TWSetupTestMain.h"
#include "TWSetupTestSupport.h"

#include "setup/TWAdvancedViewController.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWStandardViewController.h"
#include "support/TWFixtureTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <memory>

class TWMainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void firstLaunchShowsTheAdvancedViewAndTogglesBackAndForth();
    void preferenceAcrossRestarts_data();
    void preferenceAcrossRestarts();
    void swapKeepsTheTopLeftCornerAndFitsTheView();
    void swapResetsNothingInAView();
    void menuItemReadsToggle();
    void droppedFoldersBecomeTheStartPathsOfBothViews();
    void closingTheMainWindowEndsTheApplication();

private:
    static QString storedPreference();
    std::unique_ptr<TWMainWindowController> restart();

    TWRecordingLauncher launcher_;
};

void TWMainWindowTest::init() {
    QSettings().remove(QLatin1String(TWMainWindowController::kDefaultViewKey));
}

QString TWMainWindowTest::storedPreference() {
    QSettings settings;
    settings.sync();
    return settings.value(QLatin1String(TWMainWindowController::kDefaultViewKey)).toString();
}

// A new run of the application: a new controller that reads the preference afresh.
std::unique_ptr<TWMainWindowController> TWMainWindowTest::restart() {
    QSettings().sync();
    return std::make_unique<TWMainWindowController>(launcher_);
}

void TWMainWindowTest::firstLaunchShowsTheAdvancedViewAndTogglesBackAndForth() {
    auto window = restart();
    QCOMPARE(window->mainWindow()->centralWidget(), window->advancedViewController()->view());
    QVERIFY(!QSettings().contains(QLatin1String(TWMainWindowController::kDefaultViewKey)));

    window->advancedMenuItem()->trigger();
    QCOMPARE(storedPreference(), QStringLiteral("standard"));
    QCOMPARE(window->mainWindow()->centralWidget(), window->standardViewController()->view());

    window->advancedMenuItem()->trigger();
    QCOMPARE(storedPreference(), QStringLiteral("advanced"));
    QCOMPARE(window->mainWindow()->centralWidget(), window->advancedViewController()->view());
}

void TWMainWindowTest::preferenceAcrossRestarts_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("advancedShown");
    QTest::addColumn<QString>("storedByToggle");
    QTest::newRow("advanced") << QStringLiteral("advanced") << true << QStringLiteral("standard");
    QTest::newRow("ADVANCED") << QStringLiteral("ADVANCED") << true << QStringLiteral("standard");
    QTest::newRow("standard") << QStringLiteral("standard") << false << QStringLiteral("advanced");
    QTest::newRow("Standard") << QStringLiteral("Standard") << false << QStringLiteral("advanced");
    QTest::newRow("other text") << QStringLiteral("simple") << false << QStringLiteral("advanced");
    QTest::newRow("empty text") << QString() << false << QStringLiteral("advanced");
}

void TWMainWindowTest::preferenceAcrossRestarts() {
    QFETCH(QString, stored);
    QFETCH(bool, advancedShown);
    QFETCH(QString, storedByToggle);
    QSettings().setValue(QLatin1String(TWMainWindowController::kDefaultViewKey), stored);

    auto window = restart();
    QWidget* expected = advancedShown ? window->advancedViewController()->view()
                                      : window->standardViewController()->view();
    QCOMPARE(window->mainWindow()->centralWidget(), expected);
    QCOMPARE(storedPreference(), stored); // reading does not write

    window->toggleView();
    QCOMPARE(storedPreference(), storedByToggle);
    window.reset();

    // The next run starts with the view the toggle left.
    window = restart();
    expected = advancedShown ? window->standardViewController()->view()
                             : window->advancedViewController()->view();
    QCOMPARE(window->mainWindow()->centralWidget(), expected);
}

void TWMainWindowTest::swapKeepsTheTopLeftCornerAndFitsTheView() {
    auto window = restart();
    QMainWindow* main = window->mainWindow();
    main->move(140, 90);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    const QPoint topLeft = main->pos();
    QSize advanced = window->advancedViewController()->viewSize();
    QSize standard = window->standardViewController()->viewSize();
    QVERIFY(advanced.height() > standard.height());
    QVERIFY(advanced.width() > standard.width());
    QTRY_COMPARE(main->centralWidget()->size(), advanced);

    for (int round = 0; round < 2; ++round) {
        window->toggleView();
        QTRY_COMPARE(main->centralWidget()->size(), standard);
        QCOMPARE(main->pos(), topLeft);
        QCOMPARE(main->centralWidget(), window->standardViewController()->view());

        window->toggleView();
        QTRY_COMPARE(main->centralWidget()->size(), advanced);
        QCOMPARE(main->pos(), topLeft);
    }

    // Loading the view shown again runs the same steps and changes nothing.
    window->loadAdvancedView();
    QTRY_COMPARE(main->centralWidget()->size(), advanced);
    QCOMPARE(main->pos(), topLeft);
}

void TWMainWindowTest::swapResetsNothingInAView() {
    auto window = restart();
    QWidget* standard = window->standardViewController()->view();
    window->loadStandardView();
    control<QCheckBox>(standard, "matchNamesButton")->click();
    control<QRadioButton>(standard, "similarRadio")->click();
    control<QCheckBox>(standard, "filterSizesButton")->click();
    control<QLineEdit>(standard, "filterSizesSizeField")->setText(QStringLiteral("42"));
    control<QComboBox>(standard, "filterSizesSizePopUp")->setCurrentIndex(2);
    window->standardViewController()->setStartPaths({"/srv"});
    QWidget* advanced = window->advancedViewController()->view();
    window->loadAdvancedView();
    control<QCheckBox>(advanced, "filterExtensionButton")->click();
    control<QAbstractButton>(advanced, "extensionPlusButton")->click();
    TWSearchParams standardBefore = window->standardViewController()->searchParams();
    TWSearchParams advancedBefore = window->advancedViewController()->searchParams();

    window->toggleView();
    window->toggleView();
    window->toggleView();

    QCOMPARE(window->mainWindow()->centralWidget(), standard);
    QCOMPARE(describe(window->standardViewController()->searchParams()), describe(standardBefore));
    QCOMPARE(describe(window->advancedViewController()->searchParams()), describe(advancedBefore));
    QCOMPARE(window->standardViewController()->startPaths(), std::vector<std::string>{"/srv"});
    QVERIFY(control<QRadioButton>(standard, "similarRadio")->isEnabled());
    QVERIFY(control<QLineEdit>(standard, "filterSizesSizeField")->isEnabled());
}

void TWMainWindowTest::menuItemReadsToggle() {
    auto window = restart();
    QCOMPARE(window->advancedMenuItem()->text(), QStringLiteral("Toggle advanced/standard mode"));
    // Setting the item up again does not connect it twice: one trigger is one toggle.
    window->setAdvancedMenuItemToToggle();
    window->advancedMenuItem()->trigger();
    QCOMPARE(storedPreference(), QStringLiteral("standard"));
}

void TWMainWindowTest::droppedFoldersBecomeTheStartPathsOfBothViews() {
    TWFixtureTree tree;
    std::string one = tree.folder("one");
    std::string two = tree.folder("Zwei \xc3\xa4");
    std::string file = tree.file("file.txt");
    auto window = restart();
    QMainWindow* main = window->mainWindow();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(one))),
                  QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file))),
                  QUrl(QStringLiteral("https://example.org/folder/")),
                  QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(two)))});
    QPoint inside = main->rect().center();
    QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(inside), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main, &drop);
    QVERIFY(drop.isAccepted());

    const std::vector<std::string> expected{one, two};
    QCOMPARE(window->standardViewController()->startPaths(), expected);
    QCOMPARE(window->advancedViewController()->startPaths(), expected);
    QCOMPARE(control<QComboBox>(window->advancedViewController()->view(), "startFolderPopUp")
                 ->currentIndex(),
             2);

    // Files alone are refused.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file)))});
    QDragEnterEvent refused(inside, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(main, &refused);
    QVERIFY(!refused.isAccepted());
}

void TWMainWindowTest::closingTheMainWindowEndsTheApplication() {
    auto window = restart();
    window->mainWindow()->show();
    // A search window that stays open.
    QWidget searchWindow;
    searchWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&searchWindow));

    // Closing a search window leaves the application running.
    QWidget otherSearchWindow;
    otherSearchWindow.show();
    bool ranAfterClose = false;
    QTimer::singleShot(0, &otherSearchWindow, &QWidget::close);
    QTimer::singleShot(50, &searchWindow, [&] { ranAfterClose = true; });
    QTimer::singleShot(100, window->mainWindow(), &QWidget::close);
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(ranAfterClose);
    QVERIFY(searchWindow.isVisible());
}

TW_SETUP_TEST_MAIN(TWMainWindowTest)
#include "TWMainWindowTest.moc"
