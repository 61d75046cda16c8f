#include "support/TWTestSearchHost.h"

#include "engine/TWSearchController.h"

#include <algorithm>

void TWTestMainThread::performOnMainThread(std::function<void()> work, bool waitUntilDone) {
    std::unique_lock<std::mutex> guard(mutex_);
    bool done = false;
    tasks_.push_back({std::move(work), waitUntilDone ? &done : nullptr});
    posted_.notify_one();
    if (waitUntilDone)
        finished_.wait(guard, [&] { return done; });
}

bool TWTestMainThread::runUntil(const std::function<bool()>& isDone,
                                std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!isDone()) {
        std::unique_lock<std::mutex> guard(mutex_);
        if (!posted_.wait_until(guard, deadline, [&] { return !tasks_.empty(); }))
            return false;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        guard.unlock();
        task.work();
        guard.lock();
        ++workRun_;
        if (task.done) {
            *task.done = true;
            finished_.notify_all();
        }
    }
    return true;
}

void TWRecordingSearchWindow::setStatusFieldText(const TWStatusText& status) {
    statuses.push_back(status);
}

void TWRecordingSearchWindow::setStartStopButtonEnabled(bool enabled) {
    events.push_back(enabled ? "button on" : "button off");
}

void TWRecordingSearchWindow::searchDidStart() {
    ++starts;
    events.push_back("start");
}

void TWRecordingSearchWindow::searchDidEnd() {
    ++ends;
    events.push_back("end");
}

TWTestSearch::TWTestSearch(const std::vector<std::string>& startPaths,
                           const TWSearchParams& params)
    : controller(TWSearchController::searchControllerWithStartPaths(startPaths, params,
                                                                    mainThread)) {
    controller->setWindow(&window);
}

TWTestSearch::~TWTestSearch() {
    // A worker still running posts to this main thread and waits; let it end first.
    if (controller->isRunning())
        mainThread.runUntil([&] { return !controller->isRunning(); });
    controller->setWindow(nullptr);
}

bool TWTestSearch::run() {
    int endsBefore = window.ends;
    controller->startSearch();
    return mainThread.runUntil([&] { return window.ends > endsBefore; });
}

std::vector<std::vector<std::string>> TWTestSearch::groupPaths() const {
    std::vector<std::vector<std::string>> groups;
    for (const auto& group : controller->allGroups()) {
        std::vector<std::string> paths;
        for (const auto& node : group->fsNodes())
            paths.push_back(node->absolutePath());
        groups.push_back(std::move(paths));
    }
    return groups;
}

std::vector<std::vector<std::string>> TWTestSearch::sortedGroupPaths() const {
    auto groups = groupPaths();
    for (auto& paths : groups)
        std::sort(paths.begin(), paths.end());
    std::sort(groups.begin(), groups.end());
    return groups;
}
