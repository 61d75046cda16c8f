#pragma once

#include "model/TWFileSystemPath.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The nodes that share one match key, with the running total of their sizes. Made with its
// first node; members are only ever added. Used by one thread at a time; compares by
// identity.
class TWDuplicateGroup {
public:
    explicit TWDuplicateGroup(TWFileSystemPathRef node) { addNode(std::move(node)); }
    static std::shared_ptr<TWDuplicateGroup> groupWithNode(TWFileSystemPathRef node) {
        return std::make_shared<TWDuplicateGroup>(std::move(node));
    }

    TWDuplicateGroup(const TWDuplicateGroup&) = delete;
    TWDuplicateGroup& operator=(const TWDuplicateGroup&) = delete;

    void addNode(TWFileSystemPathRef node);

    const std::vector<TWFileSystemPathRef>& fsNodes() const { return fsNodes_; }
    // Nothing when the index is not below count().
    TWFileSystemPath* nodeAtIndex(std::uint32_t index) const;
    TWFileSystemPath* firstNode() const { return fsNodes_.front().get(); }

    // One member each; among equals the lowest index wins. Oldest and newest go by
    // modification date; a member whose date can no longer be read is never chosen over one
    // whose date can.
    TWFileSystemPath* oldestNode() const;
    TWFileSystemPath* newestNode() const;
    TWFileSystemPath* biggestNode() const;
    TWFileSystemPath* smallestNode() const;

    std::uint32_t count() const { return static_cast<std::uint32_t>(fsNodes_.size()); }
    std::uint64_t size();
    std::string sizeString();
    int sizeCompare(TWDuplicateGroup& other);

    // Orders the members largest first; members of equal size keep their order of addition.
    void doCleanup();

private:
    std::vector<TWFileSystemPathRef> fsNodes_;
    std::uint64_t size_ = 0;
};

using TWDuplicateGroupRef = std::shared_ptr<TWDuplicateGroup>;
