#pragma once

#include "engine/TWParamValue.h"
#include "engine/TWSearchHost.h"
#include "engine/TWStatusText.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TWSearchController;

// The test thread as a search's main thread: work posted by a worker waits in a queue until
// the test drains it with runUntil().
class TWTestMainThread final : public TWMainThread {
public:
    void performOnMainThread(std::function<void()> work, bool waitUntilDone) override;
    // Runs posted work on the calling thread until `isDone` holds; false when `timeout`
    // passed first.
    bool runUntil(const std::function<bool()>& isDone,
                  std::chrono::milliseconds timeout = std::chrono::seconds(120));
    // How many pieces of work have been run.
    std::size_t workRun() const { return workRun_; }

private:
    struct Task {
        std::function<void()> work;
        bool* done = nullptr;
    };
    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable finished_;
    std::deque<Task> tasks_;
    std::size_t workRun_ = 0;
};

// A window that writes down what its controller tells it, in order.
class TWRecordingSearchWindow final : public TWSearchWindow {
public:
    void setStatusFieldText(const TWStatusText& status) override;
    void setStartStopButtonEnabled(bool enabled) override;
    void searchDidStart() override;
    void searchDidEnd() override;

    std::vector<TWStatusText> statuses;
    std::vector<std::string> events; // "start", "end", "button on", "button off"
    int starts = 0;
    int ends = 0;
};

// One search from its start to its end, the test thread acting as main thread.
struct TWTestSearch {
    TWTestSearch(const std::vector<std::string>& startPaths, const TWSearchParams& params);
    ~TWTestSearch();

    // Starts the search and runs the main thread until it has ended; false on a time-out.
    bool run();
    // The paths of each group of the last finished run, in the controller's order.
    std::vector<std::vector<std::string>> groupPaths() const;
    // The same with the groups and their paths sorted, for order-free comparisons.
    std::vector<std::vector<std::string>> sortedGroupPaths() const;

    TWTestMainThread mainThread;
    TWRecordingSearchWindow window;
    std::shared_ptr<TWSearchController> controller;
};
