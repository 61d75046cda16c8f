#include "TWResultsTestSupport.h"
#include "engine/TWSearchController.h"
#include "engine/TWSearchSettings.h"
#include "model/TWSizeText.h"
#include "results/TWFilesTableModel.h"
#include "results/TWGroupsTableModel.h"
#include "results/TWPathViewModel.h"
#include "results/TWQtMainThread.h"
#include "results/TWResultsWindowController.h"
#include "results/TWRevealService.h"
#include "support/TWFixtureTree.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool existsAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

QString qs(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// Records what would have been shown in the file manager.
class RecordingRevealService final : public TWRevealService {
public:
    using TWRevealService::TWRevealService;
    void revealPath(const std::string& rawAbsolutePath) override {
        revealed.push_back(rawAbsolutePath);
    }
    std::vector<std::string> revealed;
};

} // namespace

// Six groups by name and size, with modification times that make each group's newest copy
// known, and one file without a twin:
//   big.bin   2 x 5000  newest b/     photo.jpg 3 x 1000  newest b/
//   notes.txt 2 x 600   newest c/     song.mp3  2 x 500   newest c/
//   tiny.dat  3 x 100   newest a/     one.txt   2 x 10    newest b/
class TWResultsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TWFixtureTree> tree_;
    std::unique_ptr<TWFolderTrash> folderTrash_;
    TWResultsWindowController* window_ = nullptr;
    RecordingRevealService* reveal_ = nullptr;

    void makeTree() {
        tree_ = std::make_unique<TWFixtureTree>();
        struct Member {
            const char* path;
            int size;
            std::int64_t modified;
        } members[] = {
            {"a/big.bin", 5000, 1000},   {"b/big.bin", 5000, 2000},   {"a/photo.jpg", 1000, 1500},
            {"b/photo.jpg", 1000, 9000}, {"c/photo.jpg", 1000, 3000}, {"a/notes.txt", 600, 1000},
            {"c/notes.txt", 600, 4000},  {"b/song.mp3", 500, 1000},   {"c/song.mp3", 500, 5000},
            {"a/tiny.dat", 100, 8000},   {"b/tiny.dat", 100, 2000},   {"c/tiny.dat", 100, 3000},
            {"a/one.txt", 10, 1000},     {"b/one.txt", 10, 7000},     {"c/lonely.txt", 77, 1000},
        };
        for (const Member& member : members) {
            tree_->fileOfSize(member.path, static_cast<std::uint64_t>(member.size));
            tree_->setModified(member.path, 1700000000 + member.modified);
        }
    }

    // A window on the tree whose search has ended; `trash` defaults to the freedesktop trash
    // (inside the temporary XDG_DATA_HOME).
    void openWindow(TWTrash* trash = nullptr) {
        TWSearchParams params;
        params[TWParamKey::kNamesMatch] = TWParamKey::kExact;
        params[TWParamKey::kSizesMatch] = 1;
        window_ = new TWResultsWindowController({tree_->root()}, params,
                                                trash ? *trash : TWFreedesktopTrash::standard(),
                                                TWQtMainThread::instance());
        reveal_ = new RecordingRevealService(window_);
        window_->setRevealService(reveal_);
        window_->resize(1000, 760);
        window_->show();
        QSignalSpy ended(window_, &TWResultsWindowController::searchEnded);
        window_->startSearch();
        QVERIFY(ended.wait(20000));
    }

    QTableView* groups() const { return window_->groupsTable(); }
    QTableView* files() const { return window_->filesTable(); }
    QAction* item(const char* name) const { return window_->findChild<QAction*>(name); }

    void selectGroupRows(std::initializer_list<int> rows) {
        auto* selection = groups()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(window_->groupsModel().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void selectAllGroups() { groups()->selectAll(); }
    void clickFileRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QRect cell = files()->visualRect(window_->filesModel().index(row, 1));
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void selectFileRows(const std::vector<int>& rows) { window_->fileCommands().selectRows(rows); }
    std::string pathAtRow(int row) const {
        return window_->filesModel().nodeAtRow(row)->absolutePath();
    }
    QString textAt(int row, int column) const {
        return window_->filesModel().index(row, column).data().toString();
    }
    QVariant colourAt(int row) const {
        return window_->filesModel().index(row, 0).data(Qt::ForegroundRole);
    }
    int rowOfPath(const std::string& path) const {
        for (int row = 0; row < window_->filesModel().rowCount(); ++row)
            if (pathAtRow(row) == path)
                return row;
        return -1;
    }
    void runTrashCommand() {
        QSignalSpy finished(window_, &TWResultsWindowController::trashCommandFinished);
        window_->moveFilesToTrash();
        if (finished.isEmpty())
            QVERIFY(finished.wait(5000));
    }

private slots:
    void init() {
        makeTree();
        folderTrash_ = std::make_unique<TWFolderTrash>(tree_->path("trash-files"));
    }
    void cleanup() {
        delete window_;
        window_ = nullptr;
        folderTrash_.reset();
        tree_.reset();
    }

    void searchShowsTheGroupsLargestFirst() {
        openWindow();
        const QStringList expected = {
            QStringLiteral("2 like 'big.bin' (9.77kb)"),
            QStringLiteral("3 like 'photo.jpg' (2.93kb)"),
            QStringLiteral("2 like 'notes.txt' (1.17kb)"),
            QStringLiteral("2 like 'song.mp3' (1000 bytes)"),
            QStringLiteral("3 like 'tiny.dat' (300 bytes)"),
            QStringLiteral("2 like 'one.txt' (20 bytes)"),
        };
        QStringList shown;
        for (int row = 0; row < window_->groupsModel().rowCount(); ++row)
            shown << window_->groupsModel().index(row, 0).data().toString();
        QCOMPARE(shown, expected);
        QCOMPARE(window_->statusText(), QStringLiteral("Found 14 files in 6 matching groups (%1).")
                                            .arg(qs(stringForFileSize(15520))));
        QCOMPARE(window_->windowTitle(),
                 QStringLiteral("Searching %1")
                     .arg(qs(tree_->root().substr(tree_->root().rfind('/') + 1))));
        QVERIFY(window_->filesTable()->horizontalHeader()->isSectionHidden(
            TWFilesTableModel::createdColumn));
    }

    void filesOfTheSelectedGroupsFollowTheGroupsTableOrder() {
        openWindow();
        selectGroupRows({5, 2});
        QStringList names;
        for (int row = 0; row < window_->filesModel().rowCount(); ++row)
            names << textAt(row, TWFilesTableModel::displayNameColumn);
        QCOMPARE(names, (QStringList{QStringLiteral("notes.txt"), QStringLiteral("notes.txt"),
                                     QStringLiteral("one.txt"), QStringLiteral("one.txt")}));
        QCOMPARE(textAt(0, TWFilesTableModel::sizeStringColumn), QStringLiteral("600 bytes"));
        QCOMPARE(textAt(0, TWFilesTableModel::kindColumn), QStringLiteral("plain text document"));

        // A change of the groups selection leaves no file selected and blanks the path view.
        clickFileRow(1);
        QVERIFY(!window_->pathViewModel().showsMessage());
        selectGroupRows({2});
        QVERIFY(!files()->selectionModel()->hasSelection());
        QVERIFY(window_->pathViewModel().showsMessage());
        QCOMPARE(window_->pathViewModel().message(), QString());
    }

    void pathViewFollowsTheFileSelection() {
        openWindow();
        selectGroupRows({1});
        clickFileRow(0);
        TWPathViewModel& path = window_->pathViewModel();
        std::string file = pathAtRow(0);
        QStringList components = path.componentTexts();
        QCOMPARE(components.front(), QStringLiteral("/"));
        QCOMPARE(components.back(), QStringLiteral("photo.jpg"));
        QCOMPARE(path.pathToPathViewComponent(path.componentCount() - 1), file);
        QCOMPARE(path.pathToPathViewComponent(path.componentCount() - 2),
                 file.substr(0, file.rfind('/')));

        clickFileRow(2, Qt::ControlModifier);
        QCOMPARE(path.message(), QStringLiteral("Multiple files selected..."));
        files()->clearSelection();
        QVERIFY(path.showsMessage());
        QCOMPARE(path.message(), QString());
    }

    void aFileDeletedOutsideIsDrawnRed() {
        openWindow();
        selectGroupRows({4});
        int row = rowOfPath(tree_->path("c/tiny.dat"));
        QVERIFY(row >= 0);
        QCOMPARE(colourAt(row), QVariant()); // read (and kept) while the file exists
        QVERIFY(::unlink(tree_->path("c/tiny.dat").c_str()) == 0);
        window_->refreshVisibleFileRows();
        QCOMPARE(colourAt(row).value<QColor>(), TWFilesTableModel::missingFileColor());
        clickFileRow(row);
        QCOMPARE(window_->pathViewModel().message(), QStringLiteral("File was moved..."));
    }

    void newestCopiesGoToTheTrashAndStayAsGrayRows() {
        openWindow();
        selectAllGroups();
        QCOMPARE(window_->filesModel().rowCount(), 14);
        clickFileRow(0);
        window_->selectNewest();
        QCOMPARE(window_->fileCommands().selectedRows().size(), std::size_t(6));
        runTrashCommand();
        QVERIFY(!openMessageBox(window_));

        const char* newest[] = {"b/big.bin",  "b/photo.jpg", "c/notes.txt",
                                "c/song.mp3", "a/tiny.dat",  "b/one.txt"};
        const char* kept[] = {"a/big.bin",  "a/photo.jpg", "c/photo.jpg", "a/notes.txt",
                              "b/song.mp3", "b/tiny.dat",  "c/tiny.dat",  "a/one.txt"};
        std::string trashFiles = TWFreedesktopTrash::standard().homeTrashFilesFolder();
        for (const char* relative : newest) {
            QVERIFY2(!existsAt(tree_->path(relative)), relative);
        }
        for (const char* relative : kept)
            QVERIFY2(existsAt(tree_->path(relative)), relative);
        QVERIFY(existsAt(trashFiles + "/big.bin"));
        QVERIFY(existsAt(trashFiles + "/photo.jpg"));

        QVERIFY(!files()->selectionModel()->hasSelection());
        QCOMPARE(window_->pathViewModel().message(), QString());
        int gray = 0;
        for (int row = 0; row < window_->filesModel().rowCount(); ++row) {
            if (colourAt(row).value<QColor>() != TWFilesTableModel::trashedFileColor())
                continue;
            ++gray;
            QCOMPARE(textAt(row, TWFilesTableModel::parentPathComponentColumn),
                     QStringLiteral("Trash"));
            QVERIFY(pathAtRow(row).rfind(trashFiles, 0) == 0);
        }
        QCOMPARE(gray, 6);
        QCOMPARE(window_->filesModel().rowCount(), 14); // moved files keep their rows

        // A moved file selected alone shows inside the Trash, and reveals the Trash folder.
        int moved = rowOfPath(trashFiles + "/big.bin");
        clickFileRow(moved);
        QCOMPARE(window_->pathViewModel().componentTexts(),
                 (QStringList{QStringLiteral("Trash"), QStringLiteral("big.bin")}));
        QCOMPARE(window_->pathViewModel().pathToPathViewComponent(1), trashFiles);
    }

    void aRefusedMoveStopsWithAnAlert() {
        openWindow(folderTrash_.get());
        selectGroupRows({1, 4}); // three photos, then three tiny files
        clickFileRow(0);
        std::vector<std::string> paths = {pathAtRow(0), pathAtRow(3), pathAtRow(4)};
        folderTrash_->refused.insert(paths[1]);
        selectFileRows({0, 3, 4});
        runTrashCommand();

        QMessageBox* alert = openMessageBox(window_);
        QVERIFY(alert);
        QCOMPARE(alert->text(),
                 QStringLiteral("Couldn't move file at path : %1").arg(qs(paths[1])));
        QVERIFY(!existsAt(paths[0]));
        QVERIFY(existsAt(paths[1]));
        QVERIFY(existsAt(paths[2]));
        QCOMPARE(folderTrash_->moves, 1);
        QCOMPARE(window_->fileCommands().selectedRows(), (std::vector<int>{0, 3, 4}));
        alert->button(QMessageBox::Ok)->click();
    }

    void aFileChangedSinceTheSearchIsNotMoved() {
        openWindow(folderTrash_.get());
        selectGroupRows({1});
        clickFileRow(1);
        std::string changed = pathAtRow(1);
        std::ofstream(changed, std::ios::app) << "more";
        runTrashCommand();
        QMessageBox* alert = openMessageBox(window_);
        QVERIFY(alert);
        QCOMPARE(alert->text(),
                 QStringLiteral("The file at %1 has changed since the search and was not moved "
                                "to the Trash.")
                     .arg(qs(changed)));
        QVERIFY(existsAt(changed));
        QCOMPARE(folderTrash_->moves, 0);
        alert->button(QMessageBox::Ok)->click();
    }

    void movingEveryCopyIsAskedFirst() {
        openWindow(folderTrash_.get());
        selectGroupRows({3}); // song.mp3, two copies
        clickFileRow(0);
        selectFileRows({0, 1});
        std::vector<std::string> paths = {pathAtRow(0), pathAtRow(1)};
        window_->moveFilesToTrash();
        QMessageBox* question = openMessageBox(window_);
        QVERIFY(question);
        QCOMPARE(question->text(), QStringLiteral("The selection holds every copy of 1 groups. "
                                                  "Move them all to the Trash?"));
        QCOMPARE(static_cast<QAbstractButton*>(question->defaultButton()),
                 question->button(QMessageBox::Cancel));
        QSignalSpy finished(window_, &TWResultsWindowController::trashCommandFinished);
        question->button(QMessageBox::Cancel)->click();
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(existsAt(paths[0]) && existsAt(paths[1]));
        QCOMPARE(folderTrash_->moves, 0);

        window_->moveFilesToTrash();
        question = openMessageBox(window_);
        QVERIFY(question);
        question->button(QMessageBox::Yes)->click();
        QTRY_COMPARE(finished.count(), 2);
        QVERIFY(!existsAt(paths[0]) && !existsAt(paths[1]));
        QCOMPARE(folderTrash_->moves, 2);
    }

    void menuItemsFollowTheTableLastClicked() {
        openWindow(folderTrash_.get());
        QAction* reveal = item("actionRevealInFileManager");
        QAction* trash = item("actionMoveToTrash");
        QAction* copy = item("actionCopy");
        QCOMPARE(reveal->property("tag").toInt(), 101);
        QCOMPARE(trash->property("tag").toInt(), 102);
        auto check = [&](bool revealEnabled, bool trashEnabled) {
            window_->validateMenuItems();
            QCOMPARE(reveal->isEnabled(), revealEnabled);
            QCOMPARE(trash->isEnabled(), trashEnabled);
            QVERIFY(copy->isEnabled());
        };
        check(false, false);
        QTest::mouseClick(groups()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          groups()->visualRect(window_->groupsModel().index(0, 0)).center());
        QCOMPARE(window_->currentTable(), TWResultsWindowController::Table::groups);
        check(false, false);
        clickFileRow(0);
        QCOMPARE(window_->currentTable(), TWResultsWindowController::Table::files);
        check(true, true);

        // A click on a path component: revealable, not trashable.
        QTableView* path = window_->pathTableView();
        QTest::mouseClick(path->viewport(), Qt::LeftButton, Qt::NoModifier,
                          path->visualRect(window_->pathViewModel().index(0, 1)).center());
        QCOMPARE(window_->currentTable(), TWResultsWindowController::Table::path);
        check(true, false);
        QTest::mouseDClick(path->viewport(), Qt::LeftButton, Qt::NoModifier,
                           path->visualRect(window_->pathViewModel().index(0, 1)).center());
        QCOMPARE(reveal_->revealed.size(), std::size_t(1));
        QCOMPARE(reveal_->revealed.back(), window_->pathViewModel().pathToPathViewComponent(1));

        // A click in the path view while it shows a message changes nothing.
        files()->clearSelection();
        QTest::mouseClick(path->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(window_->currentTable(), TWResultsWindowController::Table::path);
        QVERIFY(!path->selectionModel()->hasSelection());
    }

    void shortcutsAreValidatedBeforeTheyAct() {
        openWindow(folderTrash_.get());
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
        selectGroupRows({1});
        window_->validateMenuItems();
        QVERIFY(!item("actionMoveToTrash")->isEnabled()); // nothing clicked yet
        clickFileRow(0);                                  // no menu was opened since
        std::string file = pathAtRow(0);
        files()->setFocus();
        QTest::keyClick(files(), Qt::Key_Delete);
        QTRY_VERIFY(!existsAt(file));
        QCOMPARE(folderTrash_->moves, 1);

        // The double click on a file row reveals it (a real one begins with a click).
        clickFileRow(1);
        QTest::mouseDClick(files()->viewport(), Qt::LeftButton, Qt::NoModifier,
                           files()->visualRect(window_->filesModel().index(1, 1)).center());
        QCOMPARE(reveal_->revealed.size(), std::size_t(1));
        QCOMPARE(reveal_->revealed.back(), pathAtRow(1));
    }

    void copyPutsThePathOfTheRowSelectedLast() {
        openWindow();
        selectAllGroups();
        clickFileRow(7);
        clickFileRow(3, Qt::ControlModifier);
        clickFileRow(7, Qt::ControlModifier); // deselected ...
        clickFileRow(7, Qt::ControlModifier); // ... and selected again, last
        QCOMPARE(window_->fileCommands().selectedRows(), (std::vector<int>{3, 7}));
        window_->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), qs(pathAtRow(7)));
    }

    void invertAndSelectOnePerGroup() {
        openWindow();
        selectGroupRows({0, 1});
        TWFileCommands& commands = window_->fileCommands();
        window_->invertSelection();
        QCOMPARE(commands.selectedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
        window_->selectLargest(); // all equal: the first of each group
        QCOMPARE(commands.selectedRows(), (std::vector<int>{0, 2}));
        window_->invertSelection();
        QCOMPARE(commands.selectedRows(), (std::vector<int>{1, 3, 4}));
        window_->invertSelection();
        QCOMPARE(commands.selectedRows(), (std::vector<int>{0, 2}));
        window_->selectOldest();
        QCOMPARE(qs(pathAtRow(commands.selectedRows()[0])), qs(tree_->path("a/big.bin")));
        QCOMPARE(qs(pathAtRow(commands.selectedRows()[1])), qs(tree_->path("a/photo.jpg")));
    }

    void columnsAndIconSizes() {
        openWindow();
        QHeaderView* header = files()->horizontalHeader();
        QAction* kind = item("actionViewKind");
        QAction* created = item("actionViewCreated");
        QCOMPARE(kind->property("tag").toInt(), int(TWFilesTableModel::kindColumn));
        window_->validateMenuItems();
        QVERIFY(kind->isChecked());
        QVERIFY(!created->isChecked());

        window_->viewColumnAction(kind);
        QVERIFY(header->isSectionHidden(TWFilesTableModel::kindColumn));
        window_->viewColumnAction(created);
        window_->viewColumnAction(kind);
        QVERIFY(!header->isSectionHidden(TWFilesTableModel::kindColumn));
        QCOMPARE(header->visualIndex(TWFilesTableModel::kindColumn), header->count() - 1);
        QCOMPARE(header->visualIndex(TWFilesTableModel::createdColumn), header->count() - 2);

        // The check marks follow the columns however they were changed.
        header->hideSection(TWFilesTableModel::kindColumn);
        window_->validateMenuItems();
        QVERIFY(!kind->isChecked());
        QVERIFY(created->isChecked());

        selectGroupRows({0});
        QCOMPARE(textAt(0, TWFilesTableModel::createdColumn).size() > 0,
                 textAt(0, TWFilesTableModel::modifiedColumn).size() > 0 &&
                     window_->filesModel()
                         .index(0, TWFilesTableModel::createdColumn)
                         .data(TWFilesTableModel::UnderlyingDataRole)
                         .isValid());

        const int steps[][2] = {{+1, 32}, {+1, 64}, {+1, 64}, {-1, 32}, {-1, 16}, {-1, 16}};
        QCOMPARE(window_->iconSize(), 16);
        for (const auto& step : steps) {
            if (step[0] > 0)
                window_->increaseSize();
            else
                window_->decreaseSize();
            QCOMPARE(window_->iconSize(), step[1]);
            QCOMPARE(files()->iconSize(), QSize(step[1], step[1]));
            QCOMPARE(window_->selectedGroups().iconSize(),
                     (TWGroupOfGroups::IconSize{float(step[1]), float(step[1])}));
            QVERIFY(files()->verticalHeader()->defaultSectionSize() >= step[1]);
        }
        QCOMPARE(files()->verticalHeader()->defaultSectionSize(),
                 std::max(16, files()->fontMetrics().height() + 2));
    }

    void closingWhileTheSearchRunsKeepsItsControllerUntilItEnds() {
        TWSearchParams params;
        params[TWParamKey::kSizesMatch] = 1;
        auto* window = new TWResultsWindowController({tree_->root(), tree_->path("a")}, params,
                                                     *folderTrash_, TWQtMainThread::instance());
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Searching %1")
                     .arg(qs(tree_->root().substr(tree_->root().rfind('/') + 1))));
        std::weak_ptr<TWSearchController> search = window->searchController();
        window->startSearch();
        window->close();
        delete window;
        // The end of the search is still queued for the event loop.
        QVERIFY(!search.expired());
        QTRY_VERIFY(search.expired());
    }

    void titleCountsThePlaces() {
        TWSearchParams params;
        TWResultsWindowController window({tree_->path("a"), tree_->path("b")}, params,
                                         *folderTrash_, TWQtMainThread::instance());
        QCOMPARE(window.windowTitle(), QStringLiteral("Searching 2 places"));
    }
};

int main(int argc, char** argv) {
    TWResultsWindowTest test;
    return runResultsTest(test, argc, argv);
}

#include "TWResultsWindowTest.moc"
