#include "platform/TWEntryPrefetcher.h"

std::optional<TWStatSnapshot> TWEntryPrefetcher::Job::statAt(std::size_t index, int folderFd) {
    std::uint8_t expected = unclaimed;
    if (states_[index].compare_exchange_strong(expected, claimed))
        return TWStatSnapshot::of({folderFd, names_[index].c_str()});
    // The other thread has it: examined, or in the middle of one system call.
    while (states_[index].load() != examined)
        std::this_thread::yield();
    return stats_[index];
}

void TWEntryPrefetcher::Job::release() {
    cancelled_.store(true);
    if (!started_.exchange(true))
        return; // never begun: the second thread will pass it over
    std::unique_lock<std::mutex> guard(mutex_);
    changed_.wait(guard, [&] { return finished_.load(); });
}

void TWEntryPrefetcher::Job::run() {
    if (started_.exchange(true))
        return; // taken back before it began
    for (std::size_t i = names_.size(); i-- > 0 && !cancelled_.load();) {
        std::uint8_t expected = unclaimed;
        if (!states_[i].compare_exchange_strong(expected, claimed))
            break; // the walk has come this far: the rest is its own
        stats_[i] = TWStatSnapshot::of({folderFd_, names_[i].c_str()});
        states_[i].store(examined);
    }
    std::lock_guard<std::mutex> guard(mutex_);
    finished_.store(true);
    changed_.notify_all();
}

TWEntryPrefetcher::TWEntryPrefetcher() : thread_([this] { serve(); }) {}

TWEntryPrefetcher::~TWEntryPrefetcher() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        quitting_ = true;
    }
    posted_.notify_one();
    thread_.join();
}

std::shared_ptr<TWEntryPrefetcher::Job> TWEntryPrefetcher::examine(
    int folderFd, const std::vector<std::string>& names) {
    auto job = std::make_shared<Job>(folderFd, names);
    {
        std::lock_guard<std::mutex> guard(mutex_);
        jobs_.push_back(job);
    }
    posted_.notify_one();
    return job;
}

void TWEntryPrefetcher::serve() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> guard(mutex_);
            posted_.wait(guard, [&] { return quitting_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job->run();
    }
}
