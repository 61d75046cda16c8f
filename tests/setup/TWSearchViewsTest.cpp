#include "TWSetupTestMain.h"
#include "TWSetupTestSupport.h"

#include "setup/TWAdvancedViewController.h"
#include "setup/TWEditableListModel.h"
#include "setup/TWFolderPanel.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWSizeField.h"
#include "setup/TWStandardViewController.h"
#include "support/TWFixtureTree.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <filesystem>
#include <memory>

namespace {

// One step a user takes in a view, written "verb:control" or "verb:control=value":
//   click:box            clicks a check box, radio or button
//   mixed:box            puts a check box into the mixed state
//   text:field=10        replaces a field's text
//   index:popUp=2        selects a pop-up item
//   add:plusButton=.JPG  adds an entry with the plus button and types it, committed with Return
//   type:plusButton=mp3  adds an entry and types it without committing it
//   addUntouched:plusButton  adds an entry and leaves the placeholder
void perform(QWidget* view, const QString& step) {
    QString verb = step.section(QLatin1Char(':'), 0, 0);
    QString rest = step.section(QLatin1Char(':'), 1);
    QByteArray name = rest.section(QLatin1Char('='), 0, 0).toLatin1();
    QString value = rest.section(QLatin1Char('='), 1);
    if (verb == QLatin1String("click")) {
        control<QAbstractButton>(view, name)->click();
    } else if (verb == QLatin1String("mixed")) {
        QCheckBox* box = control<QCheckBox>(view, name);
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else if (verb == QLatin1String("text")) {
        control<QLineEdit>(view, name)->setText(value);
    } else if (verb == QLatin1String("index")) {
        control<QComboBox>(view, name)->setCurrentIndex(value.toInt());
    } else if (verb == QLatin1String("add") || verb == QLatin1String("type") ||
               verb == QLatin1String("addUntouched")) {
        QPushButton* plus = control<QPushButton>(view, name);
        QByteArray tableName = name;
        tableName.replace("PlusButton", "Table");
        QListView* table = control<QListView>(view, tableName);
        plus->click();
        if (verb == QLatin1String("addUntouched"))
            return;
        auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
        if (!editor)
            qFatal("no editor open after %s", name.constData());
        QTest::keyClicks(editor, value);
        if (verb == QLatin1String("add"))
            QTest::keyClick(editor, Qt::Key_Return);
    } else {
        qFatal("unknown step %s", qPrintable(step));
    }
}

std::string canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

void performAll(QWidget* view, const QStringList& steps) {
    for (const QString& step : steps)
        perform(view, step);
}

} // namespace

class TWSearchViewsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void initialStatesAgreeWithTheEnablingRules_data();
    void initialStatesAgreeWithTheEnablingRules();
    void commonDictionary_data();
    void commonDictionary();
    void standardDictionary_data();
    void standardDictionary();
    void advancedDictionary_data();
    void advancedDictionary();
    void sizeReading_data();
    void sizeReading();
    void refusedSizeIsReportedAtOnceAndBlocksStarting();

    void startButtonFollowsTheCriteriaOnly_data();
    void startButtonFollowsTheCriteriaOnly();
    void namesRadiosFollowTheNamesBox();
    void listControlsFollowTheirFilterBoxes();
    void rowsOfAListWhoseFilterIsOffCannotBeSelected();
    void plusAppendsAPlaceholderOpenForEditing();
    void minusRemovesTheSelectedRowsKeepingTheOthersInOrder();
    void listModelKeepsEntriesAsTyped();

    void searchBeforeChoosingSearchesTheHomeFolder();
    void startFolderPopUpSetsTheStartPaths();
    void homeFolderThatIsALinkIsResolved();
    void resolveAliasAtPath();
    void folderPanelChoosesSeveralFolders();

private:
    QWidget* view(const QString& which);
    TWSearchViewController* controller(const QString& which);

    TWRecordingLauncher launcher_;
    std::unique_ptr<TWMainWindowController> window_;
};

void TWSearchViewsTest::init() {
    QSettings().remove(QLatin1String(TWMainWindowController::kDefaultViewKey));
    launcher_.launches.clear();
    window_ = std::make_unique<TWMainWindowController>(launcher_);
    window_->mainWindow()->show();
}

void TWSearchViewsTest::cleanup() {
    window_.reset();
}

TWSearchViewController* TWSearchViewsTest::controller(const QString& which) {
    if (which == QLatin1String("standard"))
        return window_->standardViewController();
    return window_->advancedViewController();
}

QWidget* TWSearchViewsTest::view(const QString& which) {
    if (which == QLatin1String("standard"))
        window_->loadStandardView();
    else
        window_->loadAdvancedView();
    return controller(which)->view();
}

void TWSearchViewsTest::initialStatesAgreeWithTheEnablingRules_data() {
    QTest::addColumn<QString>("which");
    QTest::newRow("standard") << QStringLiteral("standard");
    QTest::newRow("advanced") << QStringLiteral("advanced");
}

void TWSearchViewsTest::initialStatesAgreeWithTheEnablingRules() {
    QFETCH(QString, which);
    QWidget* v = view(which);
    TWSearchViewController* c = controller(which);
    QCOMPARE(control<QPushButton>(v, "startSearchButton")->isEnabled(), c->oneIsOn());
    QCOMPARE(control<QRadioButton>(v, "identicalRadio")->isEnabled(),
             control<QCheckBox>(v, "matchNamesButton")->isChecked());
    QCOMPARE(control<QRadioButton>(v, "similarRadio")->isEnabled(),
             control<QCheckBox>(v, "matchNamesButton")->isChecked());
    QVERIFY(control<QRadioButton>(v, "identicalRadio")->isChecked() !=
            control<QRadioButton>(v, "similarRadio")->isChecked());
    const char* const dependents[][2] = {
        {"filterSizesButton", "filterSizesSizeField"},
        {"filterSizesButton", "filterSizesSizePopUp"},
        {"filterSizesButton", "filterSizesTypePopUp"},
        {"filterSizeLessThanButton", "filterSizeLessThanField"},
        {"filterSizeLessThanButton", "filterSizeLessThanPopUp"},
        {"filterSizeGreaterThanButton", "filterSizeGreaterThanField"},
        {"filterSizeGreaterThanButton", "filterSizeGreaterThanPopUp"},
        {"filterExtensionButton", "extensionMatrix"},
        {"filterExtensionButton", "extensionTable"},
        {"filterExtensionButton", "extensionPlusButton"},
        {"filterHFSTypeButton", "hfsTypeMatrix"},
        {"filterHFSTypeButton", "hfsTypeTable"},
        {"filterHFSTypeButton", "hfsTypePlusButton"},
        {"filterHFSCreatorButton", "hfsCreatorMatrix"},
        {"filterHFSCreatorButton", "hfsCreatorTable"},
        {"filterHFSCreatorButton", "hfsCreatorPlusButton"},
    };
    for (const auto& [box, dependent] : dependents) {
        auto* filter = v->findChild<QCheckBox*>(QLatin1String(box));
        if (!filter)
            continue;
        QVERIFY2(control<QWidget>(v, dependent)->isEnabled() == filter->isChecked(), dependent);
    }
    for (const char* minus : {"extensionMinusButton", "hfsTypeMinusButton", "hfsCreatorMinusButton"})
        if (auto* button = v->findChild<QPushButton*>(QLatin1String(minus)))
            QVERIFY2(!button->isEnabled(), minus);
    QCOMPARE(control<QComboBox>(v, "startFolderPopUp")->count(), 3);
}

void TWSearchViewsTest::commonDictionary_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    struct Row {
        const char* name;
        QStringList steps;
        const char* expected;
    };
    const Row rows[] = {
        {"as loaded", {}, R"(TWContentsMatch="")"},
        {"names identical",
         {"click:matchNamesButton"},
         R"(TWContentsMatch=""; TWNamesMatch="TWExact")"},
        {"names similar",
         {"click:matchNamesButton", "click:similarRadio"},
         R"(TWContentsMatch=""; TWNamesMatch="TWSimilar")"},
        {"names off whatever the radios show",
         {"click:matchNamesButton", "click:similarRadio", "click:matchNamesButton"},
         R"(TWContentsMatch="")"},
        {"every check box of the base",
         {"click:matchSizesButton", "click:matchDateCreatedButton", "click:filterPackagesButton",
          "click:filterInvisiblesButton"},
         R"(TWContentsMatch=""; TWCreatedMatch=""; TWInvisiblesFilter=""; )"
         R"(TWPackageContentsFilter=""; TWSizesMatch="")"},
        {"nothing on", {"click:matchContentsButton"}, ""},
        {"mixed states add no key",
         {"mixed:matchContentsButton", "mixed:matchNamesButton", "mixed:filterInvisiblesButton"},
         ""},
    };
    for (const char* which : {"standard", "advanced"})
        for (const Row& row : rows)
            QTest::addRow("%s: %s", which, row.name)
                << QString::fromLatin1(which) << row.steps << QString::fromUtf8(row.expected);
}

void TWSearchViewsTest::commonDictionary() {
    QFETCH(QString, which);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    performAll(view(which), steps);
    QCOMPARE(describe(controller(which)->searchParams()), expected);
}

void TWSearchViewsTest::standardDictionary_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("refused");
    const QString base = QStringLiteral(R"(TWContentsMatch=""; TWSizeFilter=)");
    auto on = [](const char* bound, const char* unit, const char* text) {
        return QStringList{QStringLiteral("click:filterSizesButton"),
                           QStringLiteral("index:filterSizesTypePopUp=") + QLatin1String(bound),
                           QStringLiteral("index:filterSizesSizePopUp=") + QLatin1String(unit),
                           QStringLiteral("text:filterSizesSizeField=") + QString::fromUtf8(text)};
    };
    QTest::newRow("smaller than 10 KiB")
        << on("0", "0", "10") << base + QStringLiteral(R"(("TWLessThan", 10240))") << false;
    QTest::newRow("3 MiB") << on("0", "1", "3")
                           << base + QStringLiteral(R"(("TWLessThan", 3145728))") << false;
    QTest::newRow("2 GiB does not fit 32 bits")
        << on("0", "2", "2") << base + QStringLiteral(R"(("TWLessThan", 2147483648))") << false;
    QTest::newRow("larger than 5 TiB")
        << on("1", "3", "5") << base + QStringLiteral(R"(("TWGreaterThan", 5497558138880))")
        << false;
    QTest::newRow("largest whole TiB count")
        << on("1", "3", "8388607")
        << base + QStringLiteral(R"(("TWGreaterThan", 9223370937343148032))") << false;
    QTest::newRow("spaces around the number")
        << on("0", "0", " 7 ") << base + QStringLiteral(R"(("TWLessThan", 7168))") << false;
    QTest::newRow("empty field counts as 0")
        << on("0", "0", "") << base + QStringLiteral(R"(("TWLessThan", 0))") << false;
    QTest::newRow("non-numeric field")
        << on("0", "0", "abc") << base + QStringLiteral(R"(("TWLessThan", 0))") << true;
    QTest::newRow("number followed by letters")
        << on("0", "1", "12abc") << base + QStringLiteral(R"(("TWLessThan", 0))") << true;
    QTest::newRow("fraction") << on("1", "0", "1.5")
                              << base + QStringLiteral(R"(("TWGreaterThan", 0))") << true;
    QTest::newRow("negative number")
        << on("1", "0", "-5") << base + QStringLiteral(R"(("TWGreaterThan", 0))") << true;
    QTest::newRow("product beyond the signed 64-bit range")
        << on("1", "3", "8388608") << base + QStringLiteral(R"(("TWGreaterThan", 0))") << true;
    QTest::newRow("filter off whatever the field holds")
        << QStringList{QStringLiteral("text:filterSizesSizeField=-5"),
                       QStringLiteral("index:filterSizesSizePopUp=2")}
        << QStringLiteral(R"(TWContentsMatch="")") << false;
    QTest::newRow("filter turned off again")
        << (on("1", "2", "4") << QStringLiteral("click:filterSizesButton"))
        << QStringLiteral(R"(TWContentsMatch="")") << false;
}

void TWSearchViewsTest::standardDictionary() {
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(bool, refused);
    QWidget* v = view(QStringLiteral("standard"));
    performAll(v, steps);
    QCOMPARE(describe(controller(QStringLiteral("standard"))->searchParams()), expected);
    QCOMPARE(control<QPushButton>(v, "startSearchButton")->isEnabled(), !refused);
    QCOMPARE(control<QLabel>(v, "filterSizesSizeMessage")->text().isEmpty(), !refused);
}

void TWSearchViewsTest::advancedDictionary_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    struct Row {
        const char* name;
        QStringList steps;
        const char* expected;
    };
    const Row rows[] = {
        {"both bounds, the lower first",
         {"click:filterSizeGreaterThanButton", "text:filterSizeGreaterThanField=2",
          "index:filterSizeGreaterThanPopUp=1", "click:filterSizeLessThanButton",
          "text:filterSizeLessThanField=100"},
         R"(TWContentsMatch=""; TWSizeFilter=("TWLessThan", 100, "TWGreaterThan", 2048))"},
        {"upper bound only, 5 GiB",
         {"click:filterSizeGreaterThanButton", "text:filterSizeGreaterThanField=5",
          "index:filterSizeGreaterThanPopUp=3"},
         R"(TWContentsMatch=""; TWSizeFilter=("TWGreaterThan", 5368709120))"},
        {"lower bound in bytes",
         {"click:filterSizeLessThanButton", "text:filterSizeLessThanField=1"},
         R"(TWContentsMatch=""; TWSizeFilter=("TWLessThan", 1))"},
        {"bounds turned off again",
         {"click:filterSizeLessThanButton", "text:filterSizeLessThanField=9",
          "click:filterSizeLessThanButton"},
         R"(TWContentsMatch="")"},
        {"every check box of the view",
         {"click:matchDateModifiedButton", "click:matchExtensionButton",
          "click:matchHFSCreatorButton", "click:matchHFSTypeButton",
          "click:filterSymLinkAndAliasButton", "click:examineResourceForksButton"},
         R"(TWContentsMatch=""; TWExamineResourceForks=""; TWExtensionMatch=""; )"
         R"(TWHFSCreatorMatch=""; TWHFSTypeMatch=""; TWModifiedMatch=""; )"
         R"(TWSymLinkAliasFilter="")"},
        {"mixed states add no key",
         {"mixed:matchDateModifiedButton", "mixed:examineResourceForksButton",
          "mixed:filterExtensionButton"},
         R"(TWContentsMatch="")"},
        {"extensions left out: a typed entry and an untouched placeholder",
         {"click:filterExtensionButton", "click:extensionExcludeRadio",
          "add:extensionPlusButton=.JPG", "addUntouched:extensionPlusButton"},
         R"(TWContentsMatch=""; TWExtensionFilter=("TWExclude", (".JPG", "????")))"},
        {"extensions let in",
         {"click:filterExtensionButton", "add:extensionPlusButton=jpg",
          "add:extensionPlusButton=Tar.GZ"},
         R"(TWContentsMatch=""; TWExtensionFilter=("TWInclude", ("jpg", "Tar.GZ")))"},
        {"an empty list still sends its key",
         {"click:filterHFSTypeButton"},
         R"(TWContentsMatch=""; TWHFSTypeFilter=("TWInclude", ()))"},
        {"codes stored as typed; the search quotes them",
         {"click:filterHFSTypeButton", "add:hfsTypePlusButton=TEXT",
          "add:hfsTypePlusButton='PICT", "click:filterHFSCreatorButton",
          "click:hfsCreatorExcludeRadio", "add:hfsCreatorPlusButton=8BIM'",
          "add:hfsCreatorPlusButton= ab "},
         R"(TWContentsMatch=""; TWHFSCreatorFilter=("TWExclude", ("8BIM'", " ab ")); )"
         R"(TWHFSTypeFilter=("TWInclude", ("TEXT", "'PICT")))"},
        {"a list whose filter is off sends nothing",
         {"click:filterExtensionButton", "add:extensionPlusButton=txt",
          "click:filterExtensionButton"},
         R"(TWContentsMatch="")"},
        {"an entry still being typed is committed first",
         {"click:filterExtensionButton", "add:extensionPlusButton=png",
          "type:extensionPlusButton=Mp3"},
         R"(TWContentsMatch=""; TWExtensionFilter=("TWInclude", ("png", "Mp3")))"},
        {"all three lists in their order",
         {"click:filterHFSCreatorButton", "click:filterHFSTypeButton",
          "click:filterExtensionButton", "add:hfsCreatorPlusButton=ttxt"},
         R"(TWContentsMatch=""; TWExtensionFilter=("TWInclude", ()); )"
         R"(TWHFSCreatorFilter=("TWInclude", ("ttxt")); TWHFSTypeFilter=("TWInclude", ()))"},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.steps << QString::fromUtf8(row.expected);
}

void TWSearchViewsTest::advancedDictionary() {
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    performAll(view(QStringLiteral("advanced")), steps);
    TWSearchParams params = controller(QStringLiteral("advanced"))->searchParams();
    QCOMPARE(describe(params), expected);
    // Reading the dictionary clears the lists' selections.
    for (const char* table : {"extensionTable", "hfsTypeTable", "hfsCreatorTable"})
        QVERIFY(!control<QListView>(window_->advancedViewController()->view(), table)
                     ->selectionModel()
                     ->hasSelection());
}

void TWSearchViewsTest::sizeReading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("power");
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<int>("problem");
    const int none = static_cast<int>(TWSizeField::Problem::none);
    const int notWhole = static_cast<int>(TWSizeField::Problem::notAWholeNumber);
    const int tooLarge = static_cast<int>(TWSizeField::Problem::tooLarge);
    QTest::newRow("empty") << QString() << 3 << 0ull << none;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 1 << 7168ull << none;
    QTest::newRow("largest count") << QStringLiteral("9223372036854775807") << 0
                                   << 9223372036854775807ull << none;
    QTest::newRow("one more") << QStringLiteral("9223372036854775808") << 0 << 0ull << tooLarge;
    QTest::newRow("more digits than 64 bits hold")
        << QStringLiteral("18446744073709551617") << 0 << 0ull << tooLarge;
    QTest::newRow("largest with a unit") << QStringLiteral("8589934591") << 3
                                         << 9223372035781033984ull << none;
    QTest::newRow("beyond with a unit") << QStringLiteral("8589934592") << 3 << 0ull << tooLarge;
    QTest::newRow("plus sign") << QStringLiteral("+1") << 0 << 0ull << notWhole;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 0 << 0ull << notWhole;
    QTest::newRow("digit group") << QStringLiteral("1,000") << 0 << 0ull << notWhole;
    QTest::newRow("digits of another script")
        << QString::fromUtf8("\xd9\xa3") << 0 << 0ull << notWhole;
    QTest::newRow("inner space") << QStringLiteral("1 0") << 0 << 0ull << notWhole;
}

void TWSearchViewsTest::sizeReading() {
    QFETCH(QString, text);
    QFETCH(int, power);
    QFETCH(qulonglong, bytes);
    QFETCH(int, problem);
    TWSizeField::Reading reading = TWSizeField::read(text, power);
    QCOMPARE(static_cast<qulonglong>(reading.bytes), bytes);
    QCOMPARE(static_cast<int>(reading.problem), problem);
}

void TWSearchViewsTest::refusedSizeIsReportedAtOnceAndBlocksStarting() {
    QWidget* v = view(QStringLiteral("advanced"));
    auto* start = control<QPushButton>(v, "startSearchButton");
    auto* field = control<QLineEdit>(v, "filterSizeGreaterThanField");
    auto* message = control<QLabel>(v, "filterSizeGreaterThanMessage");
    control<QCheckBox>(v, "filterSizeGreaterThanButton")->click();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("-"));
    QVERIFY(!message->text().isEmpty());
    QVERIFY(!start->isEnabled());
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QStringLiteral("3"));
    QVERIFY(message->text().isEmpty());
    QVERIFY(start->isEnabled());

    // A count that fits in bytes but not in the chosen unit.
    field->setText(QStringLiteral("9007199254740992"));
    QVERIFY(start->isEnabled());
    control<QComboBox>(v, "filterSizeGreaterThanPopUp")->setCurrentIndex(2);
    QVERIFY(!message->text().isEmpty());
    QVERIFY(!start->isEnabled());
    start->click();
    QCOMPARE(launcher_.launches.size(), 0u);

    // A disabled field refuses nothing; turned on again, it does.
    control<QCheckBox>(v, "filterSizeGreaterThanButton")->click();
    QVERIFY(message->text().isEmpty());
    QVERIFY(start->isEnabled());
    control<QCheckBox>(v, "filterSizeGreaterThanButton")->click();
    QVERIFY(!start->isEnabled());
    // Turning the criteria off and on again does not override the refusal.
    control<QCheckBox>(v, "matchContentsButton")->click();
    control<QCheckBox>(v, "matchContentsButton")->click();
    QVERIFY(!start->isEnabled());
}

void TWSearchViewsTest::startButtonFollowsTheCriteriaOnly_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("enabled");
    const QString off = QStringLiteral("click:matchContentsButton");
    auto row = [&](const char* which, const char* name, QStringList steps, bool enabled) {
        QTest::addRow("%s: %s", which, name) << QString::fromLatin1(which) << steps << enabled;
    };
    for (const char* which : {"standard", "advanced"}) {
        row(which, "last criterion turned off", {off}, false);
        row(which, "only the two filters", {off, "click:filterInvisiblesButton",
                                            "click:filterPackagesButton"}, false);
        row(which, "names alone", {off, "click:matchNamesButton"}, true);
        row(which, "sizes alone", {off, "click:matchSizesButton"}, true);
        row(which, "creation date alone", {off, "click:matchDateCreatedButton"}, true);
        row(which, "a criterion on and off again",
            {off, "click:matchSizesButton", "click:matchSizesButton"}, false);
        row(which, "a criterion in the mixed state", {off, "mixed:matchNamesButton"}, false);
    }
    row("standard", "the size filter alone", {off, "click:filterSizesButton"}, false);
    row("advanced", "resource forks alone", {off, "click:examineResourceForksButton"}, false);
    row("advanced", "every filter but no criterion",
        {off, "click:filterSymLinkAndAliasButton", "click:filterSizeLessThanButton",
         "click:filterSizeGreaterThanButton", "click:filterExtensionButton",
         "click:filterHFSTypeButton", "click:filterHFSCreatorButton"},
        false);
    row("advanced", "modification date alone", {off, "click:matchDateModifiedButton"}, true);
    row("advanced", "extension alone", {off, "click:matchExtensionButton"}, true);
    row("advanced", "type code alone", {off, "click:matchHFSTypeButton"}, true);
    row("advanced", "creator code alone", {off, "click:matchHFSCreatorButton"}, true);
}

void TWSearchViewsTest::startButtonFollowsTheCriteriaOnly() {
    QFETCH(QString, which);
    QFETCH(QStringList, steps);
    QFETCH(bool, enabled);
    QWidget* v = view(which);
    performAll(v, steps);
    QCOMPARE(control<QPushButton>(v, "startSearchButton")->isEnabled(), enabled);
    // Clicking the button does what its state says.
    control<QPushButton>(v, "startSearchButton")->click();
    QCOMPARE(launcher_.launches.size(), enabled ? 1u : 0u);
}

void TWSearchViewsTest::namesRadiosFollowTheNamesBox() {
    for (const QString& which : {QStringLiteral("standard"), QStringLiteral("advanced")}) {
        QWidget* v = view(which);
        auto* names = control<QCheckBox>(v, "matchNamesButton");
        auto* identical = control<QRadioButton>(v, "identicalRadio");
        auto* similar = control<QRadioButton>(v, "similarRadio");
        names->click();
        QVERIFY(identical->isEnabled() && similar->isEnabled());
        similar->click();
        names->click();
        QVERIFY(!identical->isEnabled() && !similar->isEnabled());
        QVERIFY(similar->isChecked());
        names->click();
        QVERIFY(identical->isEnabled() && similar->isEnabled());
        QVERIFY(similar->isChecked() && !identical->isChecked());
    }
}

void TWSearchViewsTest::listControlsFollowTheirFilterBoxes() {
    QWidget* v = view(QStringLiteral("advanced"));
    for (const char* prefix : {"extension", "hfsType", "hfsCreator"}) {
        QByteArray p(prefix);
        QByteArray filterName = p == "extension" ? QByteArray("filterExtensionButton")
                                : p == "hfsType" ? QByteArray("filterHFSTypeButton")
                                                 : QByteArray("filterHFSCreatorButton");
        auto* filter = control<QCheckBox>(v, filterName);
        auto* matrix = control<QWidget>(v, p + "Matrix");
        auto* table = control<QListView>(v, p + "Table");
        auto* plus = control<QPushButton>(v, p + "PlusButton");
        auto* minus = control<QPushButton>(v, p + "MinusButton");

        filter->click();
        QVERIFY(matrix->isEnabled() && table->isEnabled() && plus->isEnabled());
        QVERIFY(!minus->isEnabled());
        perform(v, QStringLiteral("add:") + QLatin1String(p + "PlusButton") +
                       QStringLiteral("=one"));
        perform(v, QStringLiteral("add:") + QLatin1String(p + "PlusButton") +
                       QStringLiteral("=two"));
        table->selectionModel()->clear();
        QVERIFY(!minus->isEnabled());
        table->selectionModel()->select(table->model()->index(0, 0),
                                        QItemSelectionModel::Select);
        QVERIFY(minus->isEnabled());

        filter->click();
        QVERIFY(!matrix->isEnabled() && !table->isEnabled() && !plus->isEnabled());
        QVERIFY(!table->selectionModel()->hasSelection());
        QVERIFY(!minus->isEnabled());
        QCOMPARE(table->model()->rowCount(), 2);
    }
}

void TWSearchViewsTest::rowsOfAListWhoseFilterIsOffCannotBeSelected() {
    QWidget* v = view(QStringLiteral("advanced"));
    QVERIFY(QTest::qWaitForWindowExposed(window_->mainWindow()));
    auto* filter = control<QCheckBox>(v, "filterHFSTypeButton");
    auto* table = control<QListView>(v, "hfsTypeTable");
    filter->click();
    for (const char* code : {"TEXT", "PICT", "APPL"})
        perform(v, QStringLiteral("add:hfsTypePlusButton=") + QLatin1String(code));
    filter->click();

    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(table->model()->index(1, 0)).center());
    QVERIFY(!table->selectionModel()->hasSelection());
    QVERIFY(!(table->model()->flags(table->model()->index(1, 0)) & Qt::ItemIsSelectable));
    QVERIFY(!control<QPushButton>(v, "hfsTypeMinusButton")->isEnabled());

    filter->click();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(table->model()->index(1, 0)).center());
    QVERIFY(table->selectionModel()->isRowSelected(1));
    QVERIFY(control<QPushButton>(v, "hfsTypeMinusButton")->isEnabled());
}

void TWSearchViewsTest::plusAppendsAPlaceholderOpenForEditing() {
    QWidget* v = view(QStringLiteral("advanced"));
    QVERIFY(QTest::qWaitForWindowExposed(window_->mainWindow()));
    auto* table = control<QListView>(v, "hfsTypeTable");
    control<QCheckBox>(v, "filterHFSTypeButton")->click();
    perform(v, QStringLiteral("add:hfsTypePlusButton=TEXT"));
    perform(v, QStringLiteral("add:hfsTypePlusButton=PICT"));
    table->selectionModel()->select(table->model()->index(0, 0), QItemSelectionModel::Select);

    control<QPushButton>(v, "hfsTypePlusButton")->click();
    QCOMPARE(window_->advancedViewController()
                 ->entries(TWAdvancedViewController::List::types)
                 .entries(),
             (QStringList{QStringLiteral("TEXT"), QStringLiteral("PICT"), QStringLiteral("????")}));
    QModelIndexList selected = table->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.front().row(), 2);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->model()->index(2, 0)));
    QVERIFY(editor);
    QCOMPARE(editor->selectedText(), QStringLiteral("????"));
}

void TWSearchViewsTest::minusRemovesTheSelectedRowsKeepingTheOthersInOrder() {
    QWidget* v = view(QStringLiteral("advanced"));
    QVERIFY(QTest::qWaitForWindowExposed(window_->mainWindow()));
    auto* table = control<QListView>(v, "extensionTable");
    auto* minus = control<QPushButton>(v, "extensionMinusButton");
    control<QCheckBox>(v, "filterExtensionButton")->click();
    for (const char* entry : {"a", "b", "c", "d", "e"})
        perform(v, QStringLiteral("add:extensionPlusButton=") + QLatin1String(entry));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(table->model()->index(1, 0)).center());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      table->visualRect(table->model()->index(3, 0)).center());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);
    QVERIFY(minus->isEnabled());

    minus->click();
    QCOMPARE(window_->advancedViewController()
                 ->entries(TWAdvancedViewController::List::extensions)
                 .entries(),
             (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("e")}));
    QVERIFY(!table->selectionModel()->hasSelection());
    QVERIFY(!minus->isEnabled());
}

void TWSearchViewsTest::listModelKeepsEntriesAsTyped() {
    TWEditableListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.appendEntry(QStringLiteral("????"));
    model.appendEntry(QStringLiteral(" .Tar.GZ "));
    model.appendEntry(QStringLiteral("jpg"));
    QVERIFY(model.setData(model.index(0), QStringLiteral("ÄÖ")));
    QVERIFY(!model.setData(model.index(3), QStringLiteral("beyond the end")));
    QCOMPARE(model.data(model.index(1), Qt::EditRole).toString(), QStringLiteral(" .Tar.GZ "));
    QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsSelectable));
    model.setRowsSelectable(true);
    QVERIFY(model.flags(model.index(0)) & Qt::ItemIsSelectable);
    QVERIFY(model.flags(model.index(0)) & Qt::ItemIsEditable);
    QVERIFY(model.removeRows(1, 1));
    QVERIFY(!model.removeRows(2, 1));
    QCOMPARE(model.entries(), (QStringList{QStringLiteral("ÄÖ"), QStringLiteral("jpg")}));
}

void TWSearchViewsTest::searchBeforeChoosingSearchesTheHomeFolder() {
    for (const QString& which : {QStringLiteral("standard"), QStringLiteral("advanced")}) {
        launcher_.launches.clear();
        QWidget* v = view(which);
        control<QPushButton>(v, "startSearchButton")->click();
        QCOMPARE(launcher_.launches.size(), 1u);
        QCOMPARE(launcher_.launches[0].startPaths,
                 std::vector<std::string>{qgetenv("HOME").toStdString()});
        QCOMPARE(describe(launcher_.launches[0].params), QStringLiteral(R"(TWContentsMatch="")"));
        // The start paths stay for the next search.
        control<QPushButton>(v, "startSearchButton")->click();
        QCOMPARE(launcher_.launches.size(), 2u);
        QCOMPARE(launcher_.launches[1].startPaths, launcher_.launches[0].startPaths);
    }
}

void TWSearchViewsTest::startFolderPopUpSetsTheStartPaths() {
    QWidget* v = view(QStringLiteral("standard"));
    TWSearchViewController* c = controller(QStringLiteral("standard"));
    auto* popUp = control<QComboBox>(v, "startFolderPopUp");
    auto choose = [&](int index) {
        popUp->setCurrentIndex(index);
        emit popUp->activated(index);
    };
    const std::string home = qgetenv("HOME").toStdString();

    c->setVolumeList([] { return std::vector<std::string>{"/", "/media/a b"}; });
    choose(1);
    QCOMPARE(c->startPaths(), (std::vector<std::string>{"/", "/media/a b"}));

    std::optional<QStringList> panelAnswer =
        QStringList{QStringLiteral("/srv/Fotos ä"), QStringLiteral("/srv/two")};
    int panelRuns = 0;
    c->setFolderPanel([&](QWidget*) {
        ++panelRuns;
        return panelAnswer;
    });
    choose(2);
    QCOMPARE(panelRuns, 1);
    QCOMPARE(c->startPaths(), (std::vector<std::string>{"/srv/Fotos \xc3\xa4", "/srv/two"}));
    QVERIFY(control<QLabel>(v, "startPathsLabel")->toolTip().contains(QStringLiteral("Fotos ä")));
    panelAnswer.reset();
    choose(2);
    QCOMPARE(panelRuns, 2);
    QCOMPARE(c->startPaths(), (std::vector<std::string>{"/srv/Fotos \xc3\xa4", "/srv/two"}));

    choose(0);
    QCOMPARE(c->startPaths(), std::vector<std::string>{home});

    choose(1);
    c->startFolderAction(7);
    QCOMPARE(popUp->currentIndex(), 0);
    QCOMPARE(c->startPaths(), std::vector<std::string>{home});
}

void TWSearchViewsTest::homeFolderThatIsALinkIsResolved() {
    TWFixtureTree tree;
    tree.folder("real home");
    tree.symlink("home link", "real home");
    QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(tree.path("home link")));
    TWSearchViewController* c = controller(QStringLiteral("advanced"));
    c->startFolderAction(0);
    std::vector<std::string> paths = c->startPaths();
    qputenv("HOME", savedHome);
    QCOMPARE(paths, std::vector<std::string>{canonical(tree.path("real home"))});
}

void TWSearchViewsTest::resolveAliasAtPath() {
    TWFixtureTree tree;
    tree.folder("folder");
    tree.file("file.txt", "x");
    tree.symlink("folder link", "folder");
    tree.symlink("chain", "folder link");
    tree.symlink("file link", "file.txt");
    tree.symlink("broken", "missing");
    struct Case {
        const char* given;
        const char* target; // nothing: the path comes back unchanged
    };
    const Case cases[] = {
        {"folder link", "folder"}, {"chain", "folder"}, {"folder", nullptr},
        {"file link", nullptr},    {"broken", nullptr}, {"missing", nullptr},
        {"file.txt", nullptr},
    };
    for (const Case& c : cases) {
        std::string expected = c.target ? canonical(tree.path(c.target)) : tree.path(c.given);
        QVERIFY2(TWSearchViewController::resolveAliasAtPath(tree.path(c.given)) == expected,
                 c.given);
    }
}

void TWSearchViewsTest::folderPanelChoosesSeveralFolders() {
    TWFixtureTree tree;
    tree.folder("one");
    tree.folder("two");
    tree.file("file.txt");
    QFileDialog dialog;
    TWFolderPanel::configure(dialog);
    QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
    QVERIFY(dialog.testOption(QFileDialog::ShowDirsOnly));
    dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(tree.root())));
    dialog.show();
    auto* list = control<QListView>(&dialog, "listView");
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    // The folder model fills in the background; only the two folders are listed.
    QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
    for (int row = 0; row < 2; ++row)
        list->selectionModel()->select(list->model()->index(row, 0, list->rootIndex()),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    auto* buttons = control<QDialogButtonBox>(&dialog, "buttonBox");
    QAbstractButton* choose = nullptr;
    for (QAbstractButton* button : buttons->buttons())
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
            choose = button;
    QVERIFY(choose);
    QCOMPARE(choose->text(), QStringLiteral("Choose"));
    choose->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QStringList chosen = dialog.selectedFiles();
    chosen.sort();
    QCOMPARE(chosen, (QStringList{QFile::decodeName(QByteArray::fromStdString(tree.path("one"))),
                                  QFile::decodeName(QByteArray::fromStdString(tree.path("two")))}));
}

TW_SETUP_TEST_MAIN(TWSearchViewsTest)
#include "TWSearchViewsTest.moc"
