#include "platform/TWDirectoryWalker.h"

#include "platform/TWEntryPrefetcher.h"
#include "platform/TWFileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Frame {
    TWFileDescriptor fd; // closed while the frame is far from the bottom of the stack
    std::unique_ptr<TWFolderListing> listing;
    TWFileIdentity identity;
    std::size_t next = 0;
    std::shared_ptr<TWEntryPrefetcher::Job> prefetch; // the entries' attributes, read ahead
};

// Folders with fewer entries are examined by the walk itself: handing them over costs more.
constexpr std::size_t kPrefetchMinimumEntries = 4;

// Lets the prefetching thread finish with every folder still on the stack, however the walk
// ends, before the folders' names and descriptors go away.
struct PrefetchDrain {
    std::vector<Frame>& frames;
    ~PrefetchDrain() {
        for (Frame& frame : frames)
            if (frame.prefetch)
                frame.prefetch->release();
    }
};

bool needsIdentity(const TWStatSnapshot& stat) {
    return stat.isDirectory() || stat.linkCount > 1;
}

// Opens `frames[index]` again from its child's descriptor through "..", and checks that it is
// still the folder that was listed. On failure the frame is abandoned.
bool reopenFromChild(std::vector<Frame>& frames, std::size_t index, int childFd) {
    Frame& frame = frames[index];
    TWFileDescriptor fd(openFolderAt(childFd, ".."));
    if (fd) {
        auto stat = TWStatSnapshot::ofDescriptor(fd.get());
        if (stat && stat->identity == frame.identity) {
            frame.fd = std::move(fd);
            frame.listing->setFd(frame.fd.get());
            return true;
        }
    }
    frame.next = frame.listing->names().size();
    return false;
}

} // namespace

int openFolderAt(int directoryFd, const char* name) {
    return retryOnInterrupt([&] {
        return ::openat(directoryFd, name,
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    });
}

bool walkFolder(const std::string& absolutePath, const TWWalkOptions& options,
                const std::function<TWWalkAction(const TWWalkEntry&)>& visit) {
    TWFileDescriptor fd(openFolderAt(AT_FDCWD, absolutePath.c_str()));
    if (!fd)
        return true;
    return walkOpenFolder(fd.get(), TWPathChain::root(absolutePath), options, visit);
}

bool walkOpenFolder(int folderFd, std::shared_ptr<const TWPathChain> path,
                    const TWWalkOptions& options,
                    const std::function<TWWalkAction(const TWWalkEntry&)>& visit) {
    auto rootStat = TWStatSnapshot::ofDescriptor(folderFd);
    if (!rootStat ||
        (options.mounts && options.mounts->isOnPseudoFileSystem(folderFd, rootStat->identity.device)))
        return true;
    auto rootListing = TWFolderListing::read(folderFd, std::move(path), options.readHiddenLists);
    if (!rootListing)
        return true;

    std::optional<TWEntryPrefetcher> prefetcher;
    if (options.prefetchAttributes)
        prefetcher.emplace();
    auto startPrefetch = [&](const TWFolderListing& listing) {
        return prefetcher && listing.names().size() >= kPrefetchMinimumEntries
                   ? prefetcher->examine(listing.fd(), listing.names())
                   : nullptr;
    };

    std::vector<Frame> frames;
    PrefetchDrain drain{frames};
    auto rootPrefetch = startPrefetch(*rootListing);
    frames.push_back(
        {TWFileDescriptor(), std::move(rootListing), rootStat->identity, 0, rootPrefetch});
    std::size_t openCount = 0; // frames above the root whose descriptor is open
    // Frames from 1 up to (not including) this one are closed. Descriptors are closed from
    // the shallowest, so the search for the next one to close starts here instead of at the
    // top of a stack that may be 100,000 frames deep.
    std::size_t firstMaybeOpen = 1;

    while (!frames.empty()) {
        Frame& frame = frames.back();
        const auto& names = frame.listing->names();
        if (frame.next >= names.size()) {
            // Done with this folder: make sure its parent is open again before letting go.
            // The start folder's descriptor belongs to the caller and is never closed here.
            std::size_t index = frames.size() - 1;
            if (index >= 2 && !frames[index - 1].fd &&
                reopenFromChild(frames, index - 1, frame.fd.get())) {
                ++openCount;
                firstMaybeOpen = std::min(firstMaybeOpen, index - 1);
            }
            if (frame.fd)
                --openCount;
            if (frame.prefetch)
                frame.prefetch->release();
            frames.pop_back();
            firstMaybeOpen = std::min(firstMaybeOpen, std::max<std::size_t>(frames.size(), 1));
            continue;
        }
        std::size_t index = frame.next++;
        const std::string& name = names[index];
        const TWFolderListing& folder = *frame.listing;
        auto stat = frame.prefetch ? frame.prefetch->statAt(index, folder.fd())
                                   : TWStatSnapshot::of(folder.locationOf(name));
        if (!stat)
            continue; // gone since the listing, or not examinable: nothing to visit
        if (options.seenItems && needsIdentity(*stat) && options.seenItems->contains(stat->identity))
            continue;

        TWWalkAction action = visit(TWWalkEntry{folder, name, *stat, frames.size()});
        if (action == TWWalkAction::stop)
            return false;
        if (action == TWWalkAction::skip)
            continue;
        if (action == TWWalkAction::take || !stat->isDirectory()) {
            if (options.seenItems && needsIdentity(*stat))
                options.seenItems->insert(stat->identity);
            continue;
        }

        TWFileDescriptor childFd(openFolderAt(folder.fd(), name.c_str()));
        if (!childFd)
            continue;
        auto childStat = TWStatSnapshot::ofDescriptor(childFd.get());
        if (!childStat || childStat->identity != stat->identity)
            continue; // replaced since it was examined
        if (options.seenItems && !options.seenItems->insert(stat->identity).second)
            continue;
        if (options.mounts && childStat->identity.device != frame.identity.device &&
            options.mounts->isOnPseudoFileSystem(childFd.get(), childStat->identity.device))
            continue;
        auto listing = TWFolderListing::read(
            childFd.get(), TWPathChain::child(folder.path(), name), options.readHiddenLists);
        if (!listing)
            continue;

        // Keep the number of open descriptors bounded: close the shallowest open one.
        if (openCount >= options.maxOpenFolders) {
            for (std::size_t i = firstMaybeOpen; i < frames.size(); ++i) {
                if (frames[i].fd) {
                    if (frames[i].prefetch)
                        frames[i].prefetch->release();
                    frames[i].fd.reset();
                    frames[i].listing->setFd(-1);
                    --openCount;
                    firstMaybeOpen = i + 1;
                    break;
                }
            }
        }
        TWFileIdentity identity = childStat->identity;
        auto prefetch = startPrefetch(*listing);
        frames.push_back({std::move(childFd), std::move(listing), identity, 0, prefetch});
        ++openCount;
    }
    return true;
}
