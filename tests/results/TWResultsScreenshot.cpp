// Opens a results window on the folders given, waits for the search to end, selects the
// first groups and one of their files, and saves a picture of the window:
//   results_screenshot OUTPUT.png FOLDER...
#include "engine/TWSearchSettings.h"
#include "platform/TWTrash.h"
#include "results/TWFileCommands.h"
#include "results/TWKindIconProvider.h"
#include "results/TWQtMainThread.h"
#include "results/TWResultsWindowController.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TWKindIconProvider::installIconThemeFallback();
    if (argc < 3) {
        std::fprintf(stderr, "usage: results_screenshot OUTPUT.png FOLDER...\n");
        return 2;
    }
    QString output = QString::fromLocal8Bit(argv[1]);
    std::vector<std::string> folders(argv + 2, argv + argc);
    TWSearchParams params;
    params[TWParamKey::kNamesMatch] = TWParamKey::kExact;
    params[TWParamKey::kSizesMatch] = 1;
    TWResultsWindowController window(folders, params, TWFreedesktopTrash::standard(),
                                     TWQtMainThread::instance());
    window.resize(980, 640);
    window.show();
    int status = 1;
    QObject::connect(&window, &TWResultsWindowController::searchEnded, &window, [&] {
        QTableView* groups = window.groupsTable();
        int shown = std::min(3, groups->model()->rowCount());
        if (shown > 0)
            groups->selectionModel()->select(
                QItemSelection(groups->model()->index(0, 0), groups->model()->index(shown - 1, 0)),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (window.filesTable()->model()->rowCount() > 1)
            window.fileCommands().selectRows({1});
        QTimer::singleShot(500, &window, [&] {
            status = window.grab().save(output) ? 0 : 1;
            QApplication::quit();
        });
    });
    window.startSearch();
    QTimer::singleShot(30000, &application, &QApplication::quit);
    QApplication::exec();
    return status;
}
