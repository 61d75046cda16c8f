#include "TWResultsTestSupport.h"
#include "model/TWGroupOfGroups.h"
#include "results/TWFileCommands.h"
#include "results/TWFilesSelectionModel.h"
#include "results/TWFilesTableModel.h"
#include "results/TWKindIconProvider.h"

#include <QElapsedTimer>
#include <QTableView>
#include <QTest>
#include <algorithm>

namespace {

// Nodes for paths that need not exist: the selection commands must not depend on files.
void fillGroups(TWGroupOfGroups& groups, int groupCount, int filesPerGroup) {
    for (int g = 0; g < groupCount; ++g) {
        std::string folder = "/nonexistent/twinfind-large/" + std::to_string(g) + "/";
        auto group = TWDuplicateGroup::groupWithNode(
            TWFileSystemPath::initWithAbsolutePath(folder + "0.jpg"));
        for (int m = 1; m < filesPerGroup; ++m)
            group->addNode(
                TWFileSystemPath::initWithAbsolutePath(folder + std::to_string(m) + ".jpg"));
        groups.addGroup(group);
    }
}

} // namespace

// 100,000 files in 20,000 groups, every group selected: the selection commands give the
// right rows. The time limit only catches gross regressions (a command turning quadratic);
// the timings themselves are measured in bench/.
class TWLargeSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void selectionCommandsOnAHundredThousandRows() {
        TWFolderTrash trash(QDir::tempPath().toStdString() + "/twinfind-large-trash");
        TWKindIconProvider kinds;
        TWGroupOfGroups groups;
        TWFilesTableModel model(groups, trash, kinds);
        QTableView view;
        view.setModel(&model);
        delete view.selectionModel();
        view.setSelectionModel(new TWFilesSelectionModel(&model, &view));
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(800, 600);
        view.show();
        model.beginRefill();
        fillGroups(groups, 20000, 5);
        model.endRefill();
        QCOMPARE(model.rowCount(), 100000);
        TWFileCommands commands(view, model, trash);

        QElapsedTimer timer;
        auto timed = [&](const char* what, auto&& command) {
            timer.start();
            command();
            QCoreApplication::processEvents(); // the repaint belongs to the command
            qint64 elapsed = timer.elapsed();
            QVERIFY2(
                elapsed < 2000,
                qPrintable(QStringLiteral("%1 took %2 ms").arg(QLatin1String(what)).arg(elapsed)));
        };

        timed("select newest", [&] { commands.selectOnePerGroup(TWFileCommands::Choice::newest); });
        std::vector<int> newest = commands.selectedRows();
        QCOMPARE(newest.size(), std::size_t(20000));
        QCOMPARE(newest[1], 5); // no dates: the first member of every group
        QCOMPARE(commands.selectedRowCount(2), 2);

        // Control clicks on the fragmented selection: one row off, one row on.
        timed("toggle off", [&] {
            view.selectionModel()->select(model.index(5, 0),
                                          QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        });
        timed("toggle on", [&] {
            view.selectionModel()->select(model.index(6, 0),
                                          QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        });
        std::vector<int> toggled = commands.selectedRows();
        QCOMPARE(toggled.size(), std::size_t(20000));
        QCOMPARE(toggled[1], 6);
        QCOMPARE(toggled[2], 10);
        commands.selectOnePerGroup(TWFileCommands::Choice::newest);

        timed("invert", [&] { commands.invertSelection(); });
        std::vector<int> inverted = commands.selectedRows();
        QCOMPARE(inverted.size(), std::size_t(80000));
        QVERIFY(!std::binary_search(inverted.begin(), inverted.end(), 5));
        QVERIFY(std::binary_search(inverted.begin(), inverted.end(), 6));

        timed("invert back", [&] { commands.invertSelection(); });
        QCOMPARE(commands.selectedRows(), newest);

        timed("select all", [&] { view.selectAll(); });
        QCOMPARE(commands.selectedRows().size(), std::size_t(100000));

        // A click after a fragmented selection replaces it.
        timed("select newest again",
              [&] { commands.selectOnePerGroup(TWFileCommands::Choice::newest); });
        timed("click", [&] {
            view.selectionModel()->select(model.index(12, 0), QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
        });
        QCOMPARE(commands.selectedRows(), (std::vector<int>{12}));

        timed("select array", [&] {
            commands.selectArray({groups.fsPathAtIndex(99999), groups.fsPathAtIndex(7)});
        });
        QCOMPARE(commands.selectedRows(), (std::vector<int>{7, 99999}));

        timed("invert from two", [&] { commands.invertSelection(); });
        QCOMPARE(commands.selectedRows().size(), std::size_t(99998));
    }
};

int main(int argc, char** argv) {
    TWLargeSelectionTest test;
    return runResultsTest(test, argc, argv);
}

#include "TWLargeSelectionTest.moc"
