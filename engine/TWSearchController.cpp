#include "engine/TWSearchController.h"

#include "engine/TWProcessorClock.h"
#include "engine/TWSimilarName.h"
#include "engine/TWTextCase.h"
#include "model/TWSizeText.h"
#include "platform/TWMacMetadata.h"
#include "platform/TWPackageRule.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <thread>

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = ::getpwuid(::getuid()))
        return user->pw_dir;
    return "/";
}

std::string expandTilde(const std::string& path) {
    if (path.empty() || path[0] != '~')
        return path;
    std::size_t slash = path.find('/');
    std::string user = path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    std::string home;
    if (user.empty()) {
        home = homeFolder();
    } else if (const passwd* entry = ::getpwnam(user.c_str())) {
        home = entry->pw_dir;
    } else {
        return path;
    }
    return slash == std::string::npos ? home : home + path.substr(slash);
}

std::string currentFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (!::getcwd(buffer.data(), buffer.size()))
        return "/";
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

// Removes ".", "..", empty components and a trailing separator, without touching the disk.
std::string standardizePath(const std::string& given) {
    std::string path = expandTilde(given);
    if (path.empty() || path[0] != '/')
        path = currentFolder() + "/" + path;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string component = path.substr(start, end - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(std::move(component));
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& component : components)
        result += "/" + component;
    return result.empty() ? "/" : result;
}

bool liesInside(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return path != "/"; // "/" given twice is one start path, not two that drop each other
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

bool isInList(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Passes a list filter: in include mode the value must be listed, in exclude mode not.
bool passesListFilter(const std::vector<std::string>& list, bool exclude, const std::string& value) {
    return isInList(list, value) != exclude;
}

void appendTimeComponent(std::string& key, char tag, const std::optional<TWTimestamp>& time) {
    key.push_back(tag);
    key.push_back('=');
    if (time)
        key += std::to_string(time->seconds); // whole seconds: same second, same component
    else
        key.push_back('-'); // no date: a marker no real date gives
}

} // namespace

bool isAliasFileAtPath(const std::string& path) {
    auto info = TWMacMetadata::readFinderInfo(TWItemLocation::forPath(path));
    return info && info->isAlias();
}

bool isAliasFile(const TWFileSystemPath& node) {
    auto info = TWMacMetadata::readFinderInfo(node.location(), node.companionHint());
    return info && info->isAlias();
}

std::shared_ptr<TWSearchController>
TWSearchController::searchControllerWithStartPaths(const std::vector<std::string>& startPaths,
                                                   const TWSearchParams& searchParams,
                                                   TWMainThread& mainThread) {
    auto controller = std::make_shared<TWSearchController>(mainThread);
    controller->setStartPaths(startPaths);
    controller->setSearchParams(searchParams);
    return controller;
}

TWSearchController::TWSearchController(TWMainThread& mainThread)
    : mainThread_(mainThread),
      clock_([clock = std::make_shared<TWProcessorClock>()] { return clock->ticks(); }) {}

TWSearchController::~TWSearchController() = default;

std::vector<std::string>
TWSearchController::standardizedStartPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> standardized;
    for (const std::string& given : paths) {
        std::string path = standardizePath(given);
        struct stat linkInfo, targetInfo;
        if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode) &&
            ::stat(path.c_str(), &targetInfo) == 0 && S_ISDIR(targetInfo.st_mode)) {
            if (char* resolved = ::realpath(path.c_str(), nullptr)) {
                path = resolved;
                std::free(resolved);
            }
        }
        standardized.push_back(std::move(path));
    }
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < standardized.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < standardized.size() && !covered; ++j) {
            if (i == j)
                continue;
            covered = liesInside(standardized[i], standardized[j]) ||
                      (standardized[i] == standardized[j] && j < i);
        }
        if (!covered)
            kept.push_back(standardized[i]);
    }
    return kept;
}

void TWSearchController::setStartPaths(const std::vector<std::string>& paths) {
    startPaths_.clear();
    for (std::string& path : standardizedStartPaths(paths))
        startPaths_.push_back(TWFileSystemPath::initWithAbsolutePath(std::move(path)));
}

void TWSearchController::setSearchParams(const TWSearchParams& params) {
    searchParams_ = params;
    settings_.readParamDict(params);
}

bool TWSearchController::finishedSearch() const {
    std::lock_guard<std::mutex> guard(lock_);
    return finishedSearch_;
}

void TWSearchController::setFinishedSearch(bool finished) {
    std::lock_guard<std::mutex> guard(lock_);
    finishedSearch_ = finished;
}

// ---- Starting and stopping (main thread) ----

void TWSearchController::startSearch() {
    if (running_)
        return; // the button is disabled until the last run has ended; nothing starts twice
    running_ = true;
    setFinishedSearch(false);
    sweeper_.clear();
    setStatusFieldText({TWStatusFormat::kSearching, {}});
    if (window_)
        window_->searchDidStart();
    auto self = shared_from_this();
    std::thread([self] { self->threadedSearchStart(); }).detach();
}

void TWSearchController::startStopButtonAction() {
    if (finishedSearch()) {
        if (!running_)
            startSearch();
        return;
    }
    setFinishedSearch(true);
    if (window_)
        window_->setStartStopButtonEnabled(false);
}

// ---- The run (worker thread) ----

void TWSearchController::threadedSearchStart() {
    tmpDupArray_.clear();
    tmpFCount_ = 0;
    tmpGCount_ = 0;
    nextCheckTime_ = clock_() + 50;
    stopped_ = false;
    seenItems_.clear();
    // A file given as a start path by way of a linked folder differs by path from the one
    // the walk of that folder meets, and a file with one link is not among the walk's
    // identities: the start files that will be recorded are known by identity from the
    // outset.
    startFiles_.clear();
    for (const TWFileSystemPathRef& start : startPaths_) {
        bool isDirectory = false;
        const auto& seen = start->seenStat();
        if (seen && !seen->isDirectory() && shouldProcessNode(*start, isDirectory))
            startFiles_.insert(seen->identity);
    }
    mounts_ = TWMountTable::read();

    for (const TWFileSystemPathRef& start : startPaths_)
        doSweepingFromPath(start);

    postStatus({TWStatusFormat::kCleaningUp, {}});
    if (settings_.matchContents)
        doContentsSweeping();
    finishGroups();

    auto self = shared_from_this();
    mainThread_.performOnMainThread([self] { self->endSearch(); }, false);
}

bool TWSearchController::isPastCheckTime() {
    std::uint64_t now = clock_();
    if (!(nextCheckTime_ < now))
        return true;
    if (!continueAfterPeriodicChecks()) {
        stopped_ = true; // every later visit returns at once
        return false;
    }
    nextCheckTime_ = now + 12;
    return true;
}

bool TWSearchController::continueAfterPeriodicChecks() {
    if (finishedSearch())
        return false;
    const char* format = settings_.matchContents ? TWStatusFormat::kFoundPossibleMatches
                                                 : TWStatusFormat::kFoundMatches;
    postStatus({format, {tmpFCount_, tmpGCount_}});
    return true;
}

void TWSearchController::doSweepingFromPath(const TWFileSystemPathRef& node) {
    if (stopped_ || !isPastCheckTime())
        return;
    bool isDirectory = false;
    if (!shouldProcessNode(*node, isDirectory))
        return;
    const auto& seen = node->seenStat();
    if (!isDirectory) {
        if (seen && !seenItems_.insert(seen->identity).second)
            return; // the same file given twice
        matchFSPath(node);
        return;
    }
    if (!seen || !seenItems_.insert(seen->identity).second)
        return;
    TWWalkOptions options;
    options.readHiddenLists = settings_.willIgnoreInvisibles;
    options.seenItems = &seenItems_;
    options.mounts = &mounts_;
    options.prefetchAttributes = true;
    walkFolder(node->absolutePath(), options,
               [this](const TWWalkEntry& entry) { return visitEntry(entry); });
}

TWWalkAction TWSearchController::visitEntry(const TWWalkEntry& entry) {
    if (stopped_ || !isPastCheckTime())
        return TWWalkAction::stop;
    if (!startFiles_.empty() && !entry.stat.isDirectory() &&
        startFiles_.contains(entry.stat.identity))
        return TWWalkAction::skip; // visited as a start path of its own
    auto node = std::make_shared<TWFileSystemPath>(entry.folder.path(), entry.name, entry.stat);
    node->setWalkFolder(&entry.folder);
    bool isDirectory = false;
    TWWalkAction action = TWWalkAction::skip;
    if (shouldProcessNode(*node, isDirectory)) {
        if (isDirectory) {
            action = TWWalkAction::enter;
        } else {
            matchFSPath(node);
            action = TWWalkAction::take;
        }
    }
    node->setWalkFolder(nullptr); // the folder's descriptor is not the node's to keep
    return action;
}

bool TWSearchController::shouldProcessNode(TWFileSystemPath& node, bool& isDirectory) const {
    isDirectory = node.isDirectory();
    if (!node.isReadable())
        return false;
    if (node.isDirectory() &&
        (node.hasAbsolutePath("/Network") || node.hasAbsolutePath("/Volumes")))
        return false;
    if (settings_.willIgnoreInvisibles && !node.isVisible())
        return false;
    if (settings_.willFilterSymLinksAndAliases && (node.isLink() || isAliasFile(node)))
        return false;
    if (node.isDirectory()) {
        bool asFile = settings_.willTreatPackagesAsFiles &&
                      TWPackageRule::isFilePackage(node.location(), node.pathExtension());
        if (!asFile) {
            isDirectory = true;
            return true;
        }
    }
    isDirectory = false;
    if (settings_.willFilterSizesLessThan && node.fileSize() < settings_.minimumSize)
        return false;
    if (settings_.willFilterSizesGreaterThan && node.fileSize() > settings_.maximumSize)
        return false;
    if (settings_.willFilterExtensions &&
        !passesListFilter(settings_.extensions, settings_.excludeExtensions, node.pathExtension()))
        return false;
    if (settings_.willFilterTypes &&
        !passesListFilter(settings_.hfsTypes, settings_.excludeTypes, node.fileHFSTypeCode()))
        return false;
    if (settings_.willFilterCreators &&
        !passesListFilter(settings_.hfsCreators, settings_.excludeCreators,
                          node.fileHFSCreatorCode()))
        return false;
    return true;
}

std::string TWSearchController::allocedKeyForPath(TWFileSystemPath& node) const {
    const TWSearchSettings& s = settings_;
    std::string key;
    if (s.matchExactNames || s.matchSimilarNames) {
        key = s.matchSimilarNames ? similarNameForName(node.fileName()) : node.fileName();
        // File names never hold a '/', so the name cannot run into the components after it.
        if (!key.empty())
            key.push_back('/');
    }
    bool hasSize = s.matchSizes || s.matchContents;
    std::uint64_t forkSize = 0;
    if (hasSize) {
        key += "s=";
        key += std::to_string(node.fileSize());
        if (s.matchResourceFork) {
            forkSize = node.resourceForkSize();
            key += "rs=";
            key += std::to_string(forkSize);
        }
    }
    const auto& seen = node.seenStat();
    if (s.matchCreated)
        appendTimeComponent(key, 'b', seen ? seen->created : std::nullopt);
    if (s.matchModified)
        appendTimeComponent(key, 'm', seen ? std::optional(seen->modified) : std::nullopt);
    // Tagged, so that a type code alone never reads like a creator code alone. A file without
    // the code adds nothing: with codes as the only criterion it has no key and is not
    // recorded, rather than being grouped with every other file that has none.
    if (s.matchHFSType) {
        std::string code = node.fileHFSTypeCode();
        if (!code.empty())
            key += "t=" + code;
    }
    if (s.matchHFSCreator) {
        std::string code = node.fileHFSCreatorCode();
        if (!code.empty())
            key += "k=" + code;
    }
    if (s.matchExtension)
        key += "." + lowercaseText(node.pathExtension());
    if (inContentsMatch_)
        appendContentsComponents(key, node, forkSize);
    if (s.matchSimilarNames && key.empty())
        key = node.fileName();
    return key;
}

void TWSearchController::matchFSPath(const TWFileSystemPathRef& node) {
    std::string key = allocedKeyForPath(*node);
    if (key.empty())
        return;
    auto [entry, isNew] = sweeper_.try_emplace(std::move(key), node);
    if (isNew)
        return;
    if (auto* single = std::get_if<TWFileSystemPathRef>(&entry->second)) {
        auto group = TWDuplicateGroup::groupWithNode(std::move(*single));
        entry->second = group;
        tmpDupArray_.push_back(group);
        ++tmpFCount_;
        ++tmpGCount_;
        noteContentsCandidate(group->fsNodes().front());
    }
    std::get<TWDuplicateGroupRef>(entry->second)->addNode(node);
    ++tmpFCount_;
    noteContentsCandidate(node);
}

void TWSearchController::finishGroups() {
    // Done on the worker, so that letting go of a large key map and sorting many groups
    // never holds up the window.
    sweeper_.clear();
    for (const TWDuplicateGroupRef& group : tmpDupArray_)
        group->doCleanup();
    std::stable_sort(tmpDupArray_.begin(), tmpDupArray_.end(),
                     [](const TWDuplicateGroupRef& a, const TWDuplicateGroupRef& b) {
                         return a->sizeCompare(*b) < 0;
                     });
}

void TWSearchController::postStatus(TWStatusText status) {
    auto self = shared_from_this();
    mainThread_.performOnMainThread(
        [self, status = std::move(status)] { self->setStatusFieldText(status); }, true);
}

// ---- Finishing (main thread) ----

void TWSearchController::endSearch() {
    setAllGroups(std::move(tmpDupArray_));
    tmpDupArray_.clear();
    running_ = false;
    if (window_)
        window_->searchDidEnd();
    setStatusFieldText(summaryStatus());
    setFinishedSearch(true);
}

void TWSearchController::setStatusFieldText(const TWStatusText& status) {
    if (window_)
        window_->setStatusFieldText(status);
}

// ---- Summary figures ----

std::uint32_t TWSearchController::groupCount() const {
    return static_cast<std::uint32_t>(allGroups_.size());
}

std::uint32_t TWSearchController::itemCount() const {
    std::uint32_t count = 0;
    for (const TWDuplicateGroupRef& group : allGroups_)
        count += group->count();
    return count;
}

std::uint64_t TWSearchController::size() const {
    std::uint64_t total = 0;
    for (const TWDuplicateGroupRef& group : allGroups_)
        total += group->size();
    return total;
}

std::string TWSearchController::sizeString() const { return stringForFileSize(size()); }

TWStatusText TWSearchController::summaryStatus() const {
    return {TWStatusFormat::kFoundSummary,
            {static_cast<std::int64_t>(itemCount()), static_cast<std::int64_t>(groupCount()),
             sizeString()}};
}
