#pragma once

#include "engine/TWParamValue.h"

#include <string>
#include <vector>

// What the search views hand a new search to. The application makes a search controller of
// the start paths (raw bytes) and the dictionary, brings its window to the front and starts
// it; every call makes a new search with its own window, while earlier ones may still run.
class TWSearchLauncher {
public:
    virtual ~TWSearchLauncher() = default;
    virtual void launchSearch(const std::vector<std::string>& startPaths,
                              const TWSearchParams& params) = 0;
};
