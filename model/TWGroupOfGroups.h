#pragma once

#include "model/TWDuplicateGroup.h"
#include "model/TWFileSystemPath.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

// The duplicate groups selected in one results window, seen as one flat list of files: flat
// index r is the r-th member when the members of the held groups are laid end to end in the
// order in which the groups were added.
//
// The counts are taken from each group as it is added (published groups do not change), and
// a prefix sum of the group sizes turns a flat index into (group, member) by binary search,
// so every lookup stays cheap with tens of thousands of groups. Main thread only.
class TWGroupOfGroups {
public:
    struct IconSize {
        float width = 0;
        float height = 0;
        bool operator==(const IconSize&) const = default;
    };
    // Where a flat index lies.
    struct Position {
        std::int32_t groupIndex = -1;
        std::uint32_t memberIndex = 0;
    };

    // Adds the group unless this very group is held already.
    void addGroup(TWDuplicateGroupRef group);
    void removeAll();
    // Recomputes the counts, the total and the prefix sums from the held list.
    void update();

    std::int32_t groupCount() const { return static_cast<std::int32_t>(groups_.size()); }
    std::int32_t fileCount() const { return static_cast<std::int32_t>(fileCount_); }
    std::uint64_t combinedFileSize() const { return combinedFileSize_; }
    std::string combinedFileSizeString() const;
    bool containsGroup(const TWDuplicateGroup* group) const { return held_.contains(group); }

    // Nothing when the index is negative or not below groupCount().
    TWDuplicateGroup* groupAtIndex(std::int32_t index) const;
    // Nothing when the flat index is negative or not below fileCount().
    TWFileSystemPath* fsPathAtIndex(std::int32_t flatIndex) const;
    TWDuplicateGroup* groupForFSPathAtIndex(std::int32_t flatIndex) const;
    std::optional<Position> positionOfFlatIndex(std::int32_t flatIndex) const;
    // The flat index of the first member of the group at `groupIndex`; -1 when out of range.
    std::int32_t firstFlatIndexOfGroup(std::int32_t groupIndex) const;
    // The flat index of `node` inside the group at `groupIndex`; -1 when it is not a member.
    std::int32_t flatIndexOfNode(std::int32_t groupIndex, const TWFileSystemPath* node) const;

    const std::vector<TWDuplicateGroupRef>& groups() const { return groups_; }

    void setIconSize(float width, float height) { size_ = {width, height}; }
    IconSize iconSize() const { return size_; }

private:
    std::vector<TWDuplicateGroupRef> groups_;
    std::unordered_set<const TWDuplicateGroup*> held_;
    std::vector<std::uint32_t> firstIndex_; // flat index of each group's first member
    std::uint32_t fileCount_ = 0;
    std::uint64_t combinedFileSize_ = 0;
    IconSize size_;
};
