#include "cli/TWCommandLine.h"
#include "engine/TWSearchController.h"
#include "platform/TWTrash.h"
#include "results/TWKindIconProvider.h"
#include "results/TWQtMainThread.h"
#include "results/TWResultsWindowController.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? std::string(home) : QDir::homePath().toStdString();
}

void installQtTranslations(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// A search still walking when the last window has closed is told to stop, and its end is
// let run, so that no worker is left inside the walk while the process exits.
void letSearchFinish(const std::weak_ptr<TWSearchController>& search) {
    auto controller = search.lock();
    if (!controller)
        return;
    controller->setFinishedSearch(true);
    controller.reset();
    QDeadlineTimer deadline(3000);
    while (!search.expired() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

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
    QApplication::setOrganizationName(QStringLiteral("Twinfind"));
    QApplication::setApplicationName(QStringLiteral("Twinfind"));
    QApplication::setApplicationVersion(QStringLiteral(TWINFIND_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.twinfind.Twinfind"));
    installQtTranslations(application);
    TWKindIconProvider::installIconThemeFallback();

    // QApplication has taken its own options out of argv; the rest are raw bytes.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TWCommandLineResult parsed = parseCommandLine(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "twinfind-gui: %s\n", parsed.error.c_str());
        return 2;
    }
    TWCommandLineOptions& options = *parsed.options;
    if (options.startPaths.empty())
        options.startPaths.push_back(homeFolder());

    auto* window =
        new TWResultsWindowController(options.startPaths, options.params,
                                      TWFreedesktopTrash::standard(), TWQtMainThread::instance());
    window->setAttribute(Qt::WA_DeleteOnClose);
    std::weak_ptr<TWSearchController> search = window->searchController();
    window->show();
    window->startSearch();
    int status = QApplication::exec();
    letSearchFinish(search);
    return status;
}
