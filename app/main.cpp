#include "app/TWResultsLauncher.h"
#include "cli/TWCommandLine.h"
#include "platform/TWTrash.h"
#include "results/TWKindIconProvider.h"
#include "results/TWQtMainThread.h"
#include "setup/TWApplicationSetup.h"
#include "setup/TWMainWindowController.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? std::string(home) : QDir::homePath().toStdString();
}

} // namespace

// twinfind-gui [FOLDER...] opens the main window, with the folders as start paths.
// twinfind-gui [criteria and filters] [FOLDER...] opens a results window for that search at
// once, as the command line would run it.
int main(int argc, char** argv) {
    // Help and version need no display; they are answered before Qt looks for one.
    {
        TWCommandLineResult early =
            parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (early.options && early.options->showHelp) {
            std::fputs(commandLineHelp().c_str(), stdout);
            return 0;
        }
        if (early.options && early.options->showVersion) {
            std::puts("twinfind-gui " TWINFIND_VERSION);
            return 0;
        }
    }
    QApplication application(argc, argv);
    TWApplicationSetup::setIdentity();
    QApplication::setApplicationVersion(QStringLiteral(TWINFIND_VERSION));
    TWApplicationSetup::installTranslations();
    TWKindIconProvider::installIconThemeFallback();

    // QApplication has taken its own options out of argv; the rest are raw bytes.
    TWCommandLineResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "twinfind-gui: %s\n", parsed.error.c_str());
        return 2;
    }
    TWCommandLineOptions& options = *parsed.options;

    TWResultsLauncher launcher(TWFreedesktopTrash::standard(), TWQtMainThread::instance());
    TWMainWindowController mainWindow(launcher);
    if (options.searchOptionsGiven) {
        if (options.startPaths.empty())
            options.startPaths.push_back(homeFolder());
        launcher.launchSearch(options.startPaths, options.params);
    } else {
        if (!options.startPaths.empty())
            mainWindow.setStartPaths(options.startPaths);
        mainWindow.mainWindow()->show();
    }
    int status = QApplication::exec();
    // Closing the main window quits whatever results windows are open; no worker is left
    // inside a walk while the process exits.
    launcher.stopRunningSearches(3000);
    return status;
}
