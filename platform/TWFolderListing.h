#pragma once

#include "platform/TWHiddenFileList.h"
#include "platform/TWItemLocation.h"
#include "platform/TWPathChain.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// One folder as a walk holds it while visiting its entries: its open descriptor, its path,
// its entry names (read whole when the folder is opened, "." and ".." left out), and what the
// listing tells about its entries: which have an AppleDouble companion and which its
// ".hidden" file names.
class TWFolderListing {
public:
    // Reads the entries of the folder open as `folderFd` (which stays owned by the caller).
    // With `readHiddenList`, also reads the folder's ".hidden" file when it has one.
    // Nothing when the folder cannot be listed.
    static std::unique_ptr<TWFolderListing> read(int folderFd,
                                                 std::shared_ptr<const TWPathChain> path,
                                                 bool readHiddenList);

    int fd() const { return fd_; }
    void setFd(int fd) { fd_ = fd; }
    const std::shared_ptr<const TWPathChain>& path() const { return path_; }
    const std::vector<std::string>& names() const { return names_; }

    TWItemLocation locationOf(const std::string& name) const { return {fd_, name.c_str()}; }
    TWCompanionHint companionOf(const std::string& name) const;
    bool isListedHidden(const std::string& name) const { return hidden_.contains(name); }

private:
    int fd_ = -1;
    std::shared_ptr<const TWPathChain> path_;
    std::vector<std::string> names_;
    std::unordered_set<std::string> namesWithCompanion_;
    TWHiddenFileList hidden_;
};
