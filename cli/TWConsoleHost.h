#pragma once

#include "engine/TWSearchHost.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>

// The command line's main thread: work posted by a search's worker waits in a queue until
// the main thread runs it in runUntilEnded().
class TWConsoleMainThread final : public TWMainThread {
public:
    void performOnMainThread(std::function<void()> work, bool waitUntilDone) override;
    // Runs posted work until `isDone` says so after some work has run.
    void runUntil(const std::function<bool()>& isDone);

private:
    struct Task {
        std::function<void()> work;
        bool* done = nullptr; // set under the mutex when a waiting caller may go on
    };
    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable finished_;
    std::deque<Task> tasks_;
};

// The "window" of a search on the command line: progress lines on standard error when it is
// a terminal, and the closing status line always.
class TWConsoleSearchWindow final : public TWSearchWindow {
public:
    explicit TWConsoleSearchWindow(std::FILE* out, bool showProgress)
        : out_(out), showProgress_(showProgress) {}

    void setStatusFieldText(const TWStatusText& status) override;
    void setStartStopButtonEnabled(bool) override {}
    void searchDidStart() override {}
    void searchDidEnd() override;

    bool hasEnded() const { return ended_; }

private:
    std::FILE* out_;
    bool showProgress_;
    bool progressShown_ = false;
    bool ended_ = false;
};
