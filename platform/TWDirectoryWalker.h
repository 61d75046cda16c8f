#pragma once

#include "platform/TWFolderListing.h"
#include "platform/TWPseudoFileSystems.h"
#include "platform/TWStatSnapshot.h"

#include <functional>
#include <string>
#include <unordered_set>

// One entry met by a walk, valid only during its visit.
struct TWWalkEntry {
    const TWFolderListing& folder; // the folder that holds the entry
    const std::string& name;
    const TWStatSnapshot& stat;
    std::size_t depth; // 1 for the entries of the start folder
};

// What a visit asks of the walk: pass the entry over, take it (as a file), descend into it (a
// folder), or end the whole walk.
enum class TWWalkAction { skip, take, enter, stop };

struct TWWalkOptions {
    // Read each folder's ".hidden" list for TWFolderListing::isListedHidden.
    bool readHiddenLists = false;
    // Items already met: folders, and files with more than one link. An item in this set is
    // not visited again; every folder entered and every such file taken is added. Shared by
    // the walks of one search, so that hard links, bind mounts, cycles and repeated start
    // paths are met once. Nothing when every item is to be visited.
    std::unordered_set<TWFileIdentity>* seenItems = nullptr;
    // The walk never enters a folder on a kernel pseudo file system.
    const TWMountTable* mounts = nullptr;
    // Descriptors of the deepest folders kept open; shallower ones are closed and opened
    // again through ".." on the way back up, so depth is bounded by memory alone.
    std::size_t maxOpenFolders = 48;
    // Examine entries ahead of the visits on a second thread (a search's walk); a short walk,
    // such as a folder's size total, is better off without one.
    bool prefetchAttributes = false;
};

// Walks the tree below a folder depth first, pre-order, entries in listing order, without a
// recursion of its own: a tree 100,000 folders deep is walked to its bottom. The folder
// itself is not visited. Symbolic links are never followed. Returns false when a visit asked
// to stop.
bool walkFolder(const std::string& absolutePath, const TWWalkOptions& options,
                const std::function<TWWalkAction(const TWWalkEntry&)>& visit);

// The same for a folder already open (the descriptor stays the caller's) whose path chain is
// known.
bool walkOpenFolder(int folderFd, std::shared_ptr<const TWPathChain> path,
                    const TWWalkOptions& options,
                    const std::function<TWWalkAction(const TWWalkEntry&)>& visit);

// Opens a folder for walking or listing: no final link followed, close-on-exec.
int openFolderAt(int directoryFd, const char* name);
