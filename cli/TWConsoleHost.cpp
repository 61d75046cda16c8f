#include "cli/TWConsoleHost.h"

void TWConsoleMainThread::performOnMainThread(std::function<void()> work, bool waitUntilDone) {
    std::unique_lock<std::mutex> guard(mutex_);
    bool done = false;
    tasks_.push_back({std::move(work), waitUntilDone ? &done : nullptr});
    posted_.notify_one();
    if (waitUntilDone)
        finished_.wait(guard, [&] { return done; });
}

void TWConsoleMainThread::runUntil(const std::function<bool()>& isDone) {
    while (!isDone()) {
        std::unique_lock<std::mutex> guard(mutex_);
        posted_.wait(guard, [&] { return !tasks_.empty(); });
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        guard.unlock();
        task.work();
        if (task.done) {
            guard.lock();
            *task.done = true;
            finished_.notify_all();
        }
    }
}

void TWConsoleSearchWindow::setStatusFieldText(const TWStatusText& status) {
    if (ended_) {
        if (progressShown_)
            std::fputs("\r\033[K", out_);
        progressShown_ = false;
        std::fprintf(out_, "%s\n", status.text().c_str());
    } else if (showProgress_) {
        std::fprintf(out_, "\r\033[K%s", status.text().c_str());
        progressShown_ = true;
    }
    std::fflush(out_);
}

void TWConsoleSearchWindow::searchDidEnd() { ended_ = true; }
