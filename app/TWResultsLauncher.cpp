#include "app/TWResultsLauncher.h"

#include "engine/TWSearchController.h"
#include "results/TWResultsWindowController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>

TWResultsLauncher::TWResultsLauncher(TWTrash& trash, TWMainThread& mainThread)
    : trash_(trash), mainThread_(mainThread) {}

void TWResultsLauncher::launchSearch(const std::vector<std::string>& startPaths,
                                     const TWSearchParams& params) {
    auto* window = new TWResultsWindowController(startPaths, params, trash_, mainThread_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    std::erase_if(searches_, [](const auto& search) { return search.expired(); });
    searches_.push_back(window->searchController());
    window->show();
    window->raise();
    window->activateWindow();
    window->startSearch();
}

std::vector<std::shared_ptr<TWSearchController>> TWResultsLauncher::liveSearches() const {
    std::vector<std::shared_ptr<TWSearchController>> live;
    for (const auto& search : searches_)
        if (auto controller = search.lock())
            live.push_back(std::move(controller));
    return live;
}

void TWResultsLauncher::stopRunningSearches(int milliseconds) {
    bool anyRunning = false;
    for (const auto& controller : liveSearches()) {
        if (controller->isRunning()) {
            controller->setFinishedSearch(true);
            anyRunning = true;
        }
    }
    if (!anyRunning)
        return;
    // A worker's last act is to post its end to this thread: let those ends run.
    QDeadlineTimer deadline(milliseconds);
    auto running = [this] {
        auto live = liveSearches();
        return std::any_of(live.begin(), live.end(),
                           [](const auto& controller) { return controller->isRunning(); });
    };
    while (running() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}
