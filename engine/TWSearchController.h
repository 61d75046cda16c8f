#pragma once

#include "engine/TWContentsPassOptions.h"
#include "engine/TWParamValue.h"
#include "engine/TWSearchHost.h"
#include "engine/TWSearchSettings.h"
#include "engine/TWStatusText.h"
#include "model/TWDuplicateGroup.h"
#include "model/TWFileSystemPath.h"
#include "platform/TWDirectoryWalker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

// One search: made from start paths and a parameter dictionary, run on a worker thread of its
// own, finished on the main thread, and run again with the same settings on request.
//
// Threads: everything public runs on the main thread except what says otherwise. From
// startSearch() until the worker posts endSearch(), the key map, the list of groups and the
// counters belong to the worker; afterwards to the main thread. The only value both touch
// meanwhile is the stop flag, under `lock_`. A running worker and its pending endSearch()
// keep the controller alive, so a window may let go of it at any time.
class TWSearchController : public std::enable_shared_from_this<TWSearchController> {
public:
    using Clock = std::function<std::uint64_t()>; // processor time, 100 ticks a second

    static std::shared_ptr<TWSearchController>
    searchControllerWithStartPaths(const std::vector<std::string>& startPaths,
                                   const TWSearchParams& searchParams, TWMainThread& mainThread);
    TWSearchController(TWMainThread& mainThread);
    ~TWSearchController();

    void setWindow(TWSearchWindow* window) { window_ = window; }
    void setStartPaths(const std::vector<std::string>& paths);
    void setSearchParams(const TWSearchParams& params);
    const TWSearchSettings& settings() const { return settings_; }
    const std::vector<TWFileSystemPathRef>& startPaths() const { return startPaths_; }
    // Tests pace the periodic checks with a clock of their own.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    // How the contents pass reads; the reader count 0 lets the pass choose.
    void setContentsReaders(unsigned readers) { contentsPassOptions_.readers = readers; }
    void setContentsPassOptions(const TWContentsPassOptions& options) {
        contentsPassOptions_ = options;
    }

    void startSearch();
    // Stops a running search, or starts a new run of a finished one.
    void startStopButtonAction();
    // Any thread.
    bool finishedSearch() const;
    void setFinishedSearch(bool finished);
    bool isRunning() const { return running_; }

    // The groups of the last finished run, largest total first; empty before.
    const std::vector<TWDuplicateGroupRef>& allGroups() const { return allGroups_; }
    void setAllGroups(std::vector<TWDuplicateGroupRef> groups) { allGroups_ = std::move(groups); }
    std::uint32_t groupCount() const;
    std::uint32_t itemCount() const;
    std::uint64_t size() const;
    std::string sizeString() const;
    TWStatusText summaryStatus() const;

    // The match key of a node under this search's settings; empty when it has none.
    std::string allocedKeyForPath(TWFileSystemPath& node) const;
    // Whether the node is to be entered (isDirectory set) or recorded.
    bool shouldProcessNode(TWFileSystemPath& node, bool& isDirectory) const;

    // The start paths as a search walks them: standardised (a leading tilde expanded, made
    // absolute, "." and ".." and repeated separators removed), a start path that is a
    // symbolic link to a folder resolved, and a path that equals or lies inside another
    // start path dropped, so that no file is met twice.
    static std::vector<std::string> standardizedStartPaths(const std::vector<std::string>& paths);

private:
    using KeyMapValue = std::variant<TWFileSystemPathRef, TWDuplicateGroupRef>;

    // Worker side.
    void threadedSearchStart();
    void doSweepingFromPath(const TWFileSystemPathRef& node);
    TWWalkAction visitEntry(const TWWalkEntry& entry);
    bool isPastCheckTime();
    bool continueAfterPeriodicChecks();
    void matchFSPath(const TWFileSystemPathRef& node);
    // The contents pass: re-keys every candidate with digests of its contents and regroups
    // them (TWContentsSweeping.cpp).
    void doContentsSweeping();
    void appendContentsComponents(std::string& key, TWFileSystemPath& node,
                                  std::uint64_t resourceForkSize) const;
    // A file has just become a contents candidate: its head may be read while the walk
    // goes on, on a thread of the pass (TWContentsSweeping.cpp).
    void noteContentsCandidate(const TWFileSystemPathRef& node);
    void finishGroups();
    void postStatus(TWStatusText status);

    // Main-thread side.
    void endSearch();
    void setStatusFieldText(const TWStatusText& status);

    TWMainThread& mainThread_;
    TWSearchWindow* window_ = nullptr;

    std::vector<TWFileSystemPathRef> startPaths_;
    std::vector<TWDuplicateGroupRef> allGroups_;
    std::vector<TWDuplicateGroupRef> tmpDupArray_;
    TWSearchParams searchParams_;
    std::unordered_map<std::string, KeyMapValue> sweeper_;
    TWSearchSettings settings_;
    bool inContentsMatch_ = false;
    TWContentsPassOptions contentsPassOptions_;
    // The candidate being keyed again by the contents pass, and its digests.
    const TWFileSystemPath* contentsKeyNode_ = nullptr;
    TWNodeDigests contentsKeyDigests_;
    std::shared_ptr<class TWHeadPrefetch> headPrefetch_; // worker side, during the walk

    std::uint64_t tmpFCount_ = 0;
    std::uint64_t tmpGCount_ = 0;
    std::uint64_t nextCheckTime_ = 0;
    bool stopped_ = false; // the walk saw the stop flag and is unwinding
    std::unordered_set<TWFileIdentity> seenItems_;
    std::unordered_set<TWFileIdentity> startFiles_; // the start paths that are no folders
    TWMountTable mounts_;
    Clock clock_;

    mutable std::mutex lock_;
    bool finishedSearch_ = false;
    bool running_ = false; // main thread: a worker has been started and endSearch has not run
};

// Whether the item carries the alias bit in its Finder flags.
bool isAliasFileAtPath(const std::string& path);
bool isAliasFile(const TWFileSystemPath& node);
