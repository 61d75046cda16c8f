#include "model/TWDuplicateGroup.h"

#include "model/TWSizeText.h"

#include <algorithm>

void TWDuplicateGroup::addNode(TWFileSystemPathRef node) {
    size_ += node->fileSize();
    fsNodes_.push_back(std::move(node));
}

TWFileSystemPath* TWDuplicateGroup::nodeAtIndex(std::uint32_t index) const {
    return index < fsNodes_.size() ? fsNodes_[index].get() : nullptr;
}

namespace {

// Walks the members from the first, replacing the best so far only by a strictly better one.
template <typename Value, typename Better>
TWFileSystemPath* chooseMember(const std::vector<TWFileSystemPathRef>& nodes, Value value,
                               Better isBetter) {
    TWFileSystemPath* best = nodes.front().get();
    auto bestValue = value(*best);
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        auto candidate = value(*nodes[i]);
        if (isBetter(candidate, bestValue)) {
            best = nodes[i].get();
            bestValue = candidate;
        }
    }
    return best;
}

// A missing date loses against any real one, in both directions.
bool isEarlier(const std::optional<TWTimestamp>& a, const std::optional<TWTimestamp>& b) {
    return a && (!b || *a < *b);
}

bool isLater(const std::optional<TWTimestamp>& a, const std::optional<TWTimestamp>& b) {
    return a && (!b || *a > *b);
}

} // namespace

TWFileSystemPath* TWDuplicateGroup::oldestNode() const {
    return chooseMember(fsNodes_, [](TWFileSystemPath& n) { return n.modified(); }, isEarlier);
}

TWFileSystemPath* TWDuplicateGroup::newestNode() const {
    return chooseMember(fsNodes_, [](TWFileSystemPath& n) { return n.modified(); }, isLater);
}

TWFileSystemPath* TWDuplicateGroup::biggestNode() const {
    return chooseMember(fsNodes_, [](TWFileSystemPath& n) { return n.fileSize(); },
                        [](std::uint64_t a, std::uint64_t b) { return a > b; });
}

TWFileSystemPath* TWDuplicateGroup::smallestNode() const {
    return chooseMember(fsNodes_, [](TWFileSystemPath& n) { return n.fileSize(); },
                        [](std::uint64_t a, std::uint64_t b) { return a < b; });
}

std::uint64_t TWDuplicateGroup::size() {
    if (size_ == 0)
        for (const auto& node : fsNodes_)
            size_ += node->fileSize();
    return size_;
}

std::string TWDuplicateGroup::sizeString() { return stringForFileSize(size()); }

int TWDuplicateGroup::sizeCompare(TWDuplicateGroup& other) {
    std::uint64_t mine = size();
    std::uint64_t theirs = other.size();
    if (mine > theirs)
        return -1;
    return mine < theirs ? 1 : 0;
}

void TWDuplicateGroup::doCleanup() {
    auto largerFirst = [](const TWFileSystemPathRef& a, const TWFileSystemPathRef& b) {
        return a->sizeCompare(*b) < 0;
    };
    // Most groups share one size already; they need no sorting (and no sort buffer).
    if (!std::is_sorted(fsNodes_.begin(), fsNodes_.end(), largerFirst))
        std::stable_sort(fsNodes_.begin(), fsNodes_.end(), largerFirst);
}
