#include "model/TWGroupOfGroups.h"

#include "model/TWSizeText.h"

#include <algorithm>

void TWGroupOfGroups::addGroup(TWDuplicateGroupRef group) {
    if (!group || !held_.insert(group.get()).second)
        return;
    firstIndex_.push_back(fileCount_);
    fileCount_ += group->count();
    combinedFileSize_ += group->size();
    groups_.push_back(std::move(group));
}

void TWGroupOfGroups::removeAll() {
    groups_.clear();
    held_.clear();
    firstIndex_.clear();
    fileCount_ = 0;
    combinedFileSize_ = 0;
}

void TWGroupOfGroups::update() {
    held_.clear();
    firstIndex_.clear();
    fileCount_ = 0;
    combinedFileSize_ = 0;
    for (const TWDuplicateGroupRef& group : groups_) {
        held_.insert(group.get());
        firstIndex_.push_back(fileCount_);
        fileCount_ += group->count();
        combinedFileSize_ += group->size();
    }
}

std::string TWGroupOfGroups::combinedFileSizeString() const {
    return stringForFileSize(combinedFileSize_);
}

TWDuplicateGroup* TWGroupOfGroups::groupAtIndex(std::int32_t index) const {
    if (index < 0 || index >= groupCount())
        return nullptr;
    return groups_[static_cast<std::size_t>(index)].get();
}

std::optional<TWGroupOfGroups::Position>
TWGroupOfGroups::positionOfFlatIndex(std::int32_t flatIndex) const {
    if (flatIndex < 0 || static_cast<std::uint32_t>(flatIndex) >= fileCount_)
        return std::nullopt;
    auto flat = static_cast<std::uint32_t>(flatIndex);
    // The last group whose first member is at or before the index holds it; groups are
    // never empty, so no two groups share a first index.
    auto after = std::upper_bound(firstIndex_.begin(), firstIndex_.end(), flat);
    auto group = static_cast<std::size_t>(after - firstIndex_.begin()) - 1;
    return Position{static_cast<std::int32_t>(group), flat - firstIndex_[group]};
}

TWFileSystemPath* TWGroupOfGroups::fsPathAtIndex(std::int32_t flatIndex) const {
    auto position = positionOfFlatIndex(flatIndex);
    if (!position)
        return nullptr;
    return groups_[static_cast<std::size_t>(position->groupIndex)]->nodeAtIndex(
        position->memberIndex);
}

TWDuplicateGroup* TWGroupOfGroups::groupForFSPathAtIndex(std::int32_t flatIndex) const {
    auto position = positionOfFlatIndex(flatIndex);
    return position ? groups_[static_cast<std::size_t>(position->groupIndex)].get() : nullptr;
}

std::int32_t TWGroupOfGroups::firstFlatIndexOfGroup(std::int32_t groupIndex) const {
    if (groupIndex < 0 || groupIndex >= groupCount())
        return -1;
    return static_cast<std::int32_t>(firstIndex_[static_cast<std::size_t>(groupIndex)]);
}

std::int32_t TWGroupOfGroups::flatIndexOfNode(std::int32_t groupIndex,
                                              const TWFileSystemPath* node) const {
    const TWDuplicateGroup* group = groupAtIndex(groupIndex);
    if (!group || !node)
        return -1;
    const auto& members = group->fsNodes();
    for (std::size_t i = 0; i < members.size(); ++i)
        if (members[i].get() == node)
            return firstFlatIndexOfGroup(groupIndex) + static_cast<std::int32_t>(i);
    return -1;
}
