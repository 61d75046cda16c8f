#include "model/TWGroupOfGroups.h"

#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A group of `count` nodes for paths that need not exist; the names tell the members apart.
TWDuplicateGroupRef groupOf(const std::string& prefix, int count) {
    auto group = TWDuplicateGroup::groupWithNode(
        TWFileSystemPath::initWithAbsolutePath("/nonexistent/" + prefix + "0"));
    for (int i = 1; i < count; ++i)
        group->addNode(
            TWFileSystemPath::initWithAbsolutePath("/nonexistent/" + prefix + std::to_string(i)));
    return group;
}

std::string nameAt(const TWGroupOfGroups& groups, int index) {
    TWFileSystemPath* node = groups.fsPathAtIndex(index);
    return node ? node->lastPathComponent() : std::string("(none)");
}

TEST(TWGroupOfGroups, FlatIndexRunsThroughTheGroupsInTheOrderOfAdding) {
    TWGroupOfGroups groups;
    auto two = groupOf("a", 2);
    auto three = groupOf("b", 3);
    groups.addGroup(two);
    groups.addGroup(three);

    struct Case {
        int index;
        const char* name;
        TWDuplicateGroup* group;
    } cases[] = {
        {-1, "(none)", nullptr}, {0, "a0", two.get()},   {1, "a1", two.get()},
        {2, "b0", three.get()},  {3, "b1", three.get()}, {4, "b2", three.get()},
        {5, "(none)", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(nameAt(groups, c.index), c.name);
        EXPECT_EQ(groups.groupForFSPathAtIndex(c.index), c.group);
    }
    EXPECT_EQ(groups.groupCount(), 2);
    EXPECT_EQ(groups.fileCount(), 5);
    EXPECT_EQ(groups.groupAtIndex(-1), nullptr);
    EXPECT_EQ(groups.groupAtIndex(1), three.get());
    EXPECT_EQ(groups.groupAtIndex(2), nullptr);
    EXPECT_EQ(groups.firstFlatIndexOfGroup(1), 2);
    EXPECT_EQ(groups.flatIndexOfNode(1, three->nodeAtIndex(2)), 4);
    EXPECT_EQ(groups.flatIndexOfNode(0, three->nodeAtIndex(2)), -1);
}

TEST(TWGroupOfGroups, AddingTheSameGroupTwiceCountsItOnce) {
    TWFixtureTree tree;
    auto group = TWDuplicateGroup::groupWithNode(
        TWFileSystemPath::initWithAbsolutePath(tree.fileOfSize("a", 100)));
    group->addNode(TWFileSystemPath::initWithAbsolutePath(tree.fileOfSize("b", 100)));
    TWGroupOfGroups groups;
    groups.addGroup(group);
    groups.addGroup(group);
    EXPECT_EQ(groups.groupCount(), 1);
    EXPECT_EQ(groups.fileCount(), 2);
    EXPECT_EQ(groups.combinedFileSize(), 200u);
    EXPECT_EQ(groups.combinedFileSizeString(), "200 bytes");
    EXPECT_TRUE(groups.containsGroup(group.get()));

    groups.update();
    EXPECT_EQ(groups.fileCount(), 2);
    EXPECT_EQ(groups.combinedFileSize(), 200u);

    groups.removeAll();
    EXPECT_EQ(groups.groupCount(), 0);
    EXPECT_EQ(groups.fileCount(), 0);
    EXPECT_EQ(groups.combinedFileSize(), 0u);
    EXPECT_EQ(groups.fsPathAtIndex(0), nullptr);
    EXPECT_FALSE(groups.containsGroup(group.get()));
    // A group let go of can be added again.
    groups.addGroup(group);
    EXPECT_EQ(groups.fileCount(), 2);
}

// The binary search must agree with a plain walk over many groups of mixed sizes.
TEST(TWGroupOfGroups, LookupAgreesWithAWalkOverManyGroups) {
    TWGroupOfGroups groups;
    std::vector<std::pair<TWDuplicateGroup*, std::uint32_t>> expected;
    for (int g = 0; g < 300; ++g) {
        auto group = groupOf("g" + std::to_string(g) + "-", 2 + g % 5);
        for (std::uint32_t m = 0; m < group->count(); ++m)
            expected.emplace_back(group.get(), m);
        groups.addGroup(group);
    }
    ASSERT_EQ(groups.fileCount(), static_cast<std::int32_t>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto index = static_cast<std::int32_t>(i);
        ASSERT_EQ(groups.groupForFSPathAtIndex(index), expected[i].first) << i;
        ASSERT_EQ(groups.fsPathAtIndex(index), expected[i].first->nodeAtIndex(expected[i].second))
            << i;
    }
}

TEST(TWGroupOfGroups, IconSizeIsZeroUntilSet) {
    TWGroupOfGroups groups;
    EXPECT_EQ(groups.iconSize(), (TWGroupOfGroups::IconSize{0, 0}));
    groups.setIconSize(16, 16);
    EXPECT_EQ(groups.iconSize(), (TWGroupOfGroups::IconSize{16, 16}));
}

} // namespace
