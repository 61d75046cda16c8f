#pragma once

#include "platform/TWStatSnapshot.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Examines the entries of the folders a walk lists on a second thread, so that the kernel's
// work for some entries overlaps the walk's visits of others (a walk spends about as long in
// the one as in the other). The walk takes a folder's entries from the front, examining each
// itself unless the second thread has; that thread takes them from the back; each entry is
// claimed once, so neither waits for the other but for an entry already being examined.
// One per walk.
class TWEntryPrefetcher {
public:
    // The attributes of one folder's entries.
    class Job {
    public:
        Job(int folderFd, const std::vector<std::string>& names)
            : folderFd_(folderFd), names_(names), stats_(names.size()), states_(names.size()) {}

        // The attributes of entry `index`, examined through `folderFd` (the folder's current
        // descriptor) unless the second thread has done it; nothing when the entry is gone.
        std::optional<TWStatSnapshot> statAt(std::size_t index, int folderFd);
        // Takes the job back: afterwards the second thread no longer uses the folder's
        // descriptor or names, and the walk examines what is left itself.
        void release();

    private:
        friend class TWEntryPrefetcher;
        void run();

        enum State : std::uint8_t { unclaimed, claimed, examined };

        const int folderFd_;
        const std::vector<std::string>& names_;
        std::vector<std::optional<TWStatSnapshot>> stats_;
        std::vector<std::atomic<std::uint8_t>> states_;
        std::atomic<bool> started_{false};
        std::atomic<bool> cancelled_{false};
        std::atomic<bool> finished_{false};
        std::mutex mutex_;
        std::condition_variable changed_;
    };

    TWEntryPrefetcher();
    ~TWEntryPrefetcher();
    TWEntryPrefetcher(const TWEntryPrefetcher&) = delete;
    TWEntryPrefetcher& operator=(const TWEntryPrefetcher&) = delete;

    // Queues the entries of the folder open as `folderFd`. The descriptor and the names must
    // stay valid until the job is released.
    std::shared_ptr<Job> examine(int folderFd, const std::vector<std::string>& names);

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool quitting_ = false;
    std::thread thread_;
};
