#pragma once

#include "setup/TWSearchLauncher.h"

#include <memory>
#include <vector>

class TWSearchController;
class TWTrash;
class TWMainThread;

// Starts each search the setup views ask for in a results window of its own, and keeps track
// of the searches so that quitting can let running ones end before the process does.
class TWResultsLauncher final : public TWSearchLauncher {
public:
    TWResultsLauncher(TWTrash& trash, TWMainThread& mainThread);

    void launchSearch(const std::vector<std::string>& startPaths,
                      const TWSearchParams& params) override;

    // Tells every search still running to stop and lets their ends run, for at most
    // `milliseconds`.
    void stopRunningSearches(int milliseconds);

    // The searches started so far that are still alive.
    std::vector<std::shared_ptr<TWSearchController>> liveSearches() const;

private:
    TWTrash& trash_;
    TWMainThread& mainThread_;
    std::vector<std::weak_ptr<TWSearchController>> searches_;
};
