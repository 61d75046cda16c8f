#include "TWResultsTestSupport.h"
#include "engine/TWStatusText.h"
#include "model/TWGroupOfGroups.h"
#include "results/TWClipboardWriter.h"
#include "results/TWFileUri.h"
#include "results/TWFilesTableModel.h"
#include "results/TWGroupsTableModel.h"
#include "results/TWImageTextDelegate.h"
#include "results/TWKindIconProvider.h"
#include "results/TWPathViewModel.h"
#include "results/TWQtMainThread.h"
#include "results/TWRevealService.h"
#include "results/TWStatusTextTranslation.h"
#include "support/TWFixtureTree.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTranslator>
#include <atomic>
#include <thread>

namespace {

TWDuplicateGroupRef groupOfFiles(const std::vector<std::string>& paths) {
    auto group = TWDuplicateGroup::groupWithNode(TWFileSystemPath::initWithAbsolutePath(paths[0]));
    for (std::size_t i = 1; i < paths.size(); ++i)
        group->addNode(TWFileSystemPath::initWithAbsolutePath(paths[i]));
    return group;
}

// Translates only the status formats it is given.
class TableTranslator final : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (QLatin1String(context) == QLatin1String("TWStatusText") &&
            QLatin1String(source) == QLatin1String("Found %d files in %d matching groups (%@)."))
            return QStringLiteral("%d Dateien in %d Gruppen gefunden (%@).");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TWResultsPartsTest : public QObject {
    Q_OBJECT

private slots:
    // ---- Models ----

    void groupsModelServesTheRowTexts() {
        TWFixtureTree tree;
        TWGroupsTableModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto first = groupOfFiles({tree.fileOfSize("x/IMG_0001.JPG", 2048),
                                   tree.fileOfSize("y/IMG_0001.JPG", 2048),
                                   tree.fileOfSize("z/IMG_0001.JPG", 2048)});
        auto second = groupOfFiles({tree.fileOfSize("x/a", 1), tree.fileOfSize("y/a", 1)});
        model.setGroups({first, second});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString(),
                 QStringLiteral("3 like 'IMG_0001.JPG' (6.00kb)"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("2 like 'a' (2 bytes)"));
        QCOMPARE(model.index(0, 0).data(TWGroupsTableModel::UnderlyingDataRole).toULongLong(),
                 6144ull);
        QVERIFY(!model.groupAtRow(2));
        model.setGroups({});
        QCOMPARE(model.rowCount(), 0);
    }

    void filesModelReadsTheColumnsOfEachNode() {
        TWFixtureTree tree;
        TWFolderTrash trash(tree.path("trash"));
        TWKindIconProvider kinds;
        TWGroupOfGroups groups;
        TWFilesTableModel model(groups, trash, kinds);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::string photo = tree.fileOfSize("Pictures/photo.JPG", 3000);
        tree.setModified("Pictures/photo.JPG", 1796947200); // 11 December 2026, midday UTC
        auto group = groupOfFiles({photo, tree.fileOfSize("Backup/photo.JPG", 3000)});
        model.beginRefill();
        groups.addGroup(group);
        model.endRefill();

        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 9);
        QCOMPARE(TWFilesTableModel::allTableColumnIdentifiers().size(), std::size_t(9));
        QCOMPARE(&TWFilesTableModel::allTableColumnIdentifiers(),
                 &TWFilesTableModel::allTableColumnIdentifiers());
        auto text = [&](int row, int column) { return model.index(row, column).data().toString(); };
        QCOMPARE(text(0, TWFilesTableModel::displayNameColumn), QStringLiteral("photo.JPG"));
        QCOMPARE(text(0, TWFilesTableModel::modifiedColumn),
                 QLocale().toString(QDate(2026, 12, 11), QStringLiteral("MMM dd yyyy")));
        QCOMPARE(text(0, TWFilesTableModel::sizeStringColumn), QStringLiteral("2.93kb"));
        QCOMPARE(text(0, TWFilesTableModel::kindColumn), QStringLiteral("JPEG image"));
        QCOMPARE(text(0, TWFilesTableModel::parentPathComponentColumn), QStringLiteral("Pictures"));
        QCOMPARE(text(1, TWFilesTableModel::parentPathComponentColumn), QStringLiteral("Backup"));
        QCOMPARE(text(0, TWFilesTableModel::pathExtensionColumn), QStringLiteral("JPG"));
        QCOMPARE(text(0, TWFilesTableModel::fileHFSTypeCodeColumn), QString());
        // Only the name column has an icon.
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
        QVERIFY(!model.index(0, 0).data(Qt::ForegroundRole).isValid());

        // Moved to the trash: gray and "Trash", after the window forgets what it read.
        QVERIFY(group->nodeAtIndex(0)->movedToTrash(trash));
        model.forgetAllRows();
        QCOMPARE(model.index(0, 3).data(Qt::ForegroundRole).value<QColor>(),
                 TWFilesTableModel::trashedFileColor());
        QCOMPARE(text(0, TWFilesTableModel::parentPathComponentColumn), QStringLiteral("Trash"));

        // Gone: red in every column once a row that was drawn is read again.
        QVERIFY(!model.index(1, 0).data(Qt::ForegroundRole).isValid());
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(std::remove(tree.path("Backup/photo.JPG").c_str()) == 0);
        model.refreshRows(0, 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].value<QModelIndex>().row(), 1);
        for (int column = 0; column < model.columnCount(); ++column)
            QCOMPARE(model.index(1, column).data(Qt::ForegroundRole).value<QColor>(),
                     TWFilesTableModel::missingFileColor());
        model.refreshRows(0, 1); // nothing changed since
        QCOMPARE(changed.count(), 1);

        model.beginRefill();
        groups.removeAll();
        model.endRefill();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.index(0, 0).isValid());
    }

    void pathViewShowsComponentsOrOneMessage() {
        TWKindIconProvider kinds;
        TWFolderTrash trash(QDir::tempPath().toStdString() + "/twinfind-path-view-trash");
        TWPathViewModel model(kinds, trash);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto isLeaf = [&](int column) {
            return model.index(0, column).data(TWImageTextDelegate::IsLeafRole).toBool();
        };

        model.setPathViewToShowMessage(QStringLiteral("Multiple files selected..."));
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("Multiple files selected..."));
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
        QVERIFY(isLeaf(0));
        QCOMPARE(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::Alignment(Qt::AlignCenter));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable));

        model.setPathViewToShowPath("/Users/ann/Pictures/a.jpg");
        QCOMPARE(model.componentTexts(),
                 (QStringList{QStringLiteral("/"), QStringLiteral("Users"), QStringLiteral("ann"),
                              QStringLiteral("Pictures"), QStringLiteral("a.jpg")}));
        QCOMPARE(model.pathToPathViewComponent(0), std::string("/"));
        QCOMPARE(model.pathToPathViewComponent(2), std::string("/Users/ann"));
        QCOMPARE(model.pathToPathViewComponent(4), std::string("/Users/ann/Pictures/a.jpg"));
        QCOMPARE(model.pathToPathViewComponent(-1), std::string());
        QCOMPARE(model.pathToPathViewComponent(5), std::string());
        QVERIFY(!isLeaf(0) && !isLeaf(3) && isLeaf(4));
        QVERIFY(!model.index(0, 4).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(model.flags(model.index(0, 2)) & Qt::ItemIsSelectable);

        model.setPathViewToShowPath("/a/b");
        QCOMPARE(model.columnCount(), 3);
        QVERIFY(!isLeaf(1) && isLeaf(2));

        model.setPathViewToShowTrashItem("a.jpg", false);
        QCOMPARE(model.componentTexts(),
                 (QStringList{QStringLiteral("Trash"), QStringLiteral("a.jpg")}));
        QCOMPARE(model.pathToPathViewComponent(0), trash.homeTrashFilesFolder());
        QCOMPARE(model.pathToPathViewComponent(1), trash.homeTrashFilesFolder());

        // A name that is not UTF-8 keeps its bytes for the file operations.
        model.setPathViewToShowPath("/tmp/caf\xe9");
        QCOMPARE(model.pathToPathViewComponent(2), std::string("/tmp/caf\xe9"));
        QCOMPARE(model.componentTexts().back(), QStringLiteral("caf\uFFFD"));
    }

    // ---- Image-and-text cell ----

    void imageAndTextGeometry_data() {
        QTest::addColumn<QRectF>("cell");
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QRectF>("imageFrame");
        QTest::addColumn<qreal>("textLeft");
        QTest::newRow("16 in a 17-point row")
            << QRectF(10, 100, 200, 17) << QSizeF(16, 16) << QRectF(13, 101, 16, 16) << qreal(29);
        QTest::newRow("16 in a 32-point row")
            << QRectF(0, 50, 200, 32) << QSizeF(16, 16) << QRectF(3, 58, 16, 16) << qreal(19);
        QTest::newRow("odd gap rounds up")
            << QRectF(0, 0, 200, 20) << QSizeF(16, 16) << QRectF(3, 2, 16, 16) << qreal(19);
        QTest::newRow("no image") << QRectF(5, 5, 100, 17) << QSizeF() << QRectF() << qreal(5);
        QTest::newRow("image wider than the cell")
            << QRectF(0, 0, 10, 17) << QSizeF(16, 16) << QRectF(3, 1, 16, 16) << qreal(10);
    }
    void imageAndTextGeometry() {
        QFETCH(QRectF, cell);
        QFETCH(QSizeF, image);
        QFETCH(QRectF, imageFrame);
        QFETCH(qreal, textLeft);
        QCOMPARE(TWImageTextDelegate::imageFrameForCellFrame(cell, image), imageFrame);
        QRectF text = TWImageTextDelegate::textFrameForCellFrame(cell, image);
        QCOMPARE(text.left(), textLeft);
        QCOMPARE(text.right(), cell.right());
        QCOMPARE(text.height(), cell.height());
    }

    void imageAndTextCellSize() {
        QCOMPARE(TWImageTextDelegate::cellSizeForBaseSize(QSizeF(50, 17), QSizeF(16, 16)),
                 QSizeF(69, 17));
        QCOMPARE(TWImageTextDelegate::cellSizeForBaseSize(QSizeF(50, 17), QSizeF()),
                 QSizeF(53, 17));
        QCOMPARE(TWImageTextDelegate::cellSizeForBaseSize(QSizeF(50, 17), QSizeF(32, 32)),
                 QSizeF(85, 32));
    }

    void imageAndTextDrawsTheIconAtItsFrame() {
        // A red icon in a white cell: the red pixels are exactly the image frame.
        QPixmap redSquare(16, 16);
        redSquare.fill(Qt::red);
        QStandardItemModel model(1, 1);
        model.setItem(0, 0, new QStandardItem(QIcon(redSquare), QStringLiteral("x")));
        QTableView view;
        view.setModel(&model);
        view.setItemDelegate(new TWImageTextDelegate(&view));
        view.setIconSize(QSize(16, 16));
        view.setShowGrid(false);
        view.horizontalHeader()->hide();
        view.verticalHeader()->hide();
        view.verticalHeader()->setDefaultSectionSize(32);
        view.resize(220, 60);
        view.show();
        QImage picture = view.viewport()->grab().toImage();
        QRect cell = view.visualRect(model.index(0, 0));
        QRect expected =
            TWImageTextDelegate::imageFrameForCellFrame(QRectF(cell), QSizeF(16, 16)).toRect();
        QRect red;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(Qt::red))
                    red |= QRect(x, y, 1, 1);
        QCOMPARE(red, expected);
    }

    // ---- Clipboard, URIs, status texts ----

    void clipboardCarriesExactBytes() {
        auto plain = TWClipboardWriter::mimeDataForPath("/home/ann/Bilder/Käse.jpg");
        QCOMPARE(plain->text(), QStringLiteral("/home/ann/Bilder/Käse.jpg"));
        QVERIFY(!plain->hasFormat(QStringLiteral("text/uri-list")));

        auto raw = TWClipboardWriter::mimeDataForPath("/tmp/caf\xe9 au lait");
        QCOMPARE(raw->text(), QStringLiteral("/tmp/caf\uFFFD au lait"));
        QCOMPARE(raw->data(QStringLiteral("text/uri-list")),
                 QByteArray("file:///tmp/caf%E9%20au%20lait\r\n"));

        TWClipboardWriter::copyPath("/tmp/one path");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/tmp/one path"));
        QCOMPARE(containingFolderOfRawPath("/tmp/x"), std::string("/tmp"));
        QCOMPARE(containingFolderOfRawPath("/x"), std::string("/"));
    }

    void statusTextsAreTranslatedFromTheirFormat() {
        TWStatusText summary{"Found %d files in %d matching groups (%@).",
                             {std::int64_t(14), std::int64_t(6), std::string("15.16kb")}};
        QCOMPARE(translatedStatusText(summary),
                 QStringLiteral("Found 14 files in 6 matching groups (15.16kb)."));
        TableTranslator translator;
        QCoreApplication::installTranslator(&translator);
        QCOMPARE(translatedStatusText(summary),
                 QStringLiteral("14 Dateien in 6 Gruppen gefunden (15.16kb)."));
        QCoreApplication::removeTranslator(&translator);
    }

    // ---- Threads ----

    void workerWaitsUntilTheMainThreadHasRunTheWork() {
        TWMainThread& main = TWQtMainThread::instance();
        std::atomic<bool> ran{false};
        std::atomic<bool> returned{false};
        QThread* runOn = nullptr;
        std::thread worker([&] {
            main.performOnMainThread(
                [&] {
                    runOn = QThread::currentThread();
                    ran = true;
                },
                true);
            returned = ran.load(); // the work has run by the time the call returns
        });
        QTRY_VERIFY(returned.load());
        worker.join();
        QCOMPARE(runOn, QCoreApplication::instance()->thread());

        // On the main thread a waiting call runs at once; a call that does not wait is queued.
        bool inline_ = false;
        main.performOnMainThread([&] { inline_ = true; }, true);
        QVERIFY(inline_);
        bool queued = false;
        main.performOnMainThread([&] { queued = true; }, false);
        QVERIFY(!queued);
        QTRY_VERIFY(queued);
    }

    // ---- Reveal ----

    void revealFallsBackToTheFolderAndThenToABeep() {
        // The session bus points at nothing here (runResultsTest).
        TWRevealService reveal;
        QList<QUrl> opened;
        int beeps = 0;
        bool folderOpens = true;
        reveal.setFallbacks(
            [&](const QUrl& url) {
                opened << url;
                return folderOpens;
            },
            [&] { ++beeps; });
        QSignalSpy finished(&reveal, &TWRevealService::revealFinished);
        reveal.revealPath("/tmp/caf\xe9/photo.jpg");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].toEncoded(), QByteArray("file:///tmp/caf%E9"));
        QCOMPARE(beeps, 0);

        folderOpens = false;
        reveal.revealPath("/tmp/x");
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(beeps, 1);
        QCOMPARE(finished[1][0].toBool(), false);
        QCOMPARE(finished[1][1].toBool(), false);
    }
};

int main(int argc, char** argv) {
    TWResultsPartsTest test;
    return runResultsTest(test, argc, argv);
}

#include "TWResultsPartsTest.moc"
