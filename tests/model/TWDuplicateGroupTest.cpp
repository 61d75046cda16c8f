#include "model/TWDuplicateGroup.h"

#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

class DuplicateGroupTest : public ::testing::Test {
protected:
    // A node for a new file of `size` bytes, modified at `modified` (seconds).
    TWFileSystemPathRef node(const std::string& name, std::uint64_t size,
                             std::int64_t modified = 1'000'000'000) {
        tree.fileOfSize(name, size);
        tree.setModified(name, modified);
        return TWFileSystemPath::initWithAbsolutePath(tree.path(name));
    }

    // The member's index in the group.
    static std::size_t indexOf(const TWDuplicateGroup& group, const TWFileSystemPath* member) {
        for (std::size_t i = 0; i < group.fsNodes().size(); ++i)
            if (group.fsNodes()[i].get() == member)
                return i;
        return group.fsNodes().size();
    }

    TWFixtureTree tree;
};

TEST_F(DuplicateGroupTest, NodeAtIndexStopsAtCount) {
    TWDuplicateGroup group(node("a", 1));
    group.addNode(node("b", 1));
    EXPECT_EQ(group.count(), 2u);
    EXPECT_EQ(group.nodeAtIndex(0), group.firstNode());
    EXPECT_NE(group.nodeAtIndex(1), nullptr);
    EXPECT_EQ(group.nodeAtIndex(2), nullptr);
    EXPECT_EQ(group.nodeAtIndex(0xFFFFFFFFu), nullptr);
}

TEST_F(DuplicateGroupTest, EqualMembersAllChooseTheFirst) {
    TWDuplicateGroup group(node("a", 5, 100));
    group.addNode(node("b", 5, 100));
    TWFileSystemPath* first = group.firstNode();
    EXPECT_EQ(group.biggestNode(), first);
    EXPECT_EQ(group.smallestNode(), first);
    EXPECT_EQ(group.newestNode(), first);
    EXPECT_EQ(group.oldestNode(), first);
}

TEST_F(DuplicateGroupTest, SizeOrderBeforeAndAfterCleanup) {
    auto ten = node("ten", 10);
    auto thirtyA = node("thirtyA", 30);
    auto thirtyB = node("thirtyB", 30);
    TWDuplicateGroup group(ten);
    group.addNode(thirtyA);
    group.addNode(thirtyB);
    EXPECT_EQ(group.size(), 70u);
    EXPECT_EQ(group.biggestNode(), thirtyA.get());
    EXPECT_EQ(group.smallestNode(), ten.get());

    group.doCleanup();
    ASSERT_EQ(group.count(), 3u);
    EXPECT_EQ(group.nodeAtIndex(0), thirtyA.get()); // equal sizes keep their order
    EXPECT_EQ(group.nodeAtIndex(1), thirtyB.get());
    EXPECT_EQ(group.nodeAtIndex(2), ten.get());
    EXPECT_EQ(indexOf(group, group.biggestNode()), 0u);
    EXPECT_EQ(indexOf(group, group.smallestNode()), 2u);
    EXPECT_EQ(group.size(), 70u);
}

TEST_F(DuplicateGroupTest, OldestAndNewestGoByModificationDateFirstOfEqualsWins) {
    TWDuplicateGroup group(node("m300", 1, 300));
    group.addNode(node("m100", 1, 100));
    group.addNode(node("m200", 1, 200));
    group.addNode(node("alsoM100", 1, 100));
    group.addNode(node("alsoM300", 1, 300));
    EXPECT_EQ(group.oldestNode()->lastPathComponent(), "m100");
    EXPECT_EQ(group.newestNode()->lastPathComponent(), "m300");
}

TEST_F(DuplicateGroupTest, MemberWhoseDateIsGoneIsNeverOldestOrNewest) {
    auto gone = node("gone", 1, 50);
    TWDuplicateGroup group(gone);
    group.addNode(node("m100", 1, 100));
    group.addNode(node("m200", 1, 200));
    ASSERT_EQ(::unlink(tree.path("gone").c_str()), 0);
    EXPECT_EQ(group.oldestNode()->lastPathComponent(), "m100");
    EXPECT_EQ(group.newestNode()->lastPathComponent(), "m200");
}

TEST_F(DuplicateGroupTest, TotalsAndSizeText) {
    TWDuplicateGroup thousands(node("k1", 1000));
    thousands.addNode(node("k2", 1000));
    thousands.addNode(node("k3", 1000));
    EXPECT_EQ(thousands.size(), 3000u);
    EXPECT_EQ(thousands.sizeString(), "2.93kb");

    TWDuplicateGroup empties(node("e1", 0));
    empties.addNode(node("e2", 0));
    EXPECT_EQ(empties.size(), 0u);
    EXPECT_EQ(empties.size(), 0u); // asked again: still nothing to add up
    EXPECT_EQ(empties.sizeString(), "0 bytes");
}

TEST_F(DuplicateGroupTest, GroupSizeCompareUsesTheWhole64Bits) {
    std::string big = tree.file("big");
    ASSERT_EQ(::truncate(big.c_str(), 1ll << 32), 0);
    TWDuplicateGroup bigGroup(TWFileSystemPath::initWithAbsolutePath(big));
    TWDuplicateGroup small(node("one", 1));
    TWDuplicateGroup alsoSmall(node("alsoOne", 1));
    EXPECT_EQ(bigGroup.sizeCompare(small), -1);
    EXPECT_EQ(small.sizeCompare(bigGroup), 1);
    EXPECT_EQ(small.sizeCompare(alsoSmall), 0);
}

} // namespace
