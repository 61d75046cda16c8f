#include "platform/TWMacMetadata.h"

#include "platform/TWFileDescriptor.h"
#include "support/TWFixtureTree.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kText = 0x54455854; // 'TEXT'
constexpr std::uint32_t kPict = 0x50494354; // 'PICT'

// The same item seen as the walk sees it (folder descriptor and name) and as the rest of the
// program does (absolute path), so that every check covers both ways of reaching it.
class TWMacMetadataTest : public ::testing::Test {
protected:
    struct Located {
        const char* how;
        TWItemLocation location;
    };

    std::vector<Located> locations(const std::string& name) {
        folderFd_.reset(::open(tree_.root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        EXPECT_TRUE(folderFd_);
        name_ = name;
        path_ = tree_.path(name);
        return {{"folder-relative", {folderFd_.get(), name_.c_str()}},
                {"absolute path", TWItemLocation::forPath(path_)}};
    }

    static std::uint32_t typeOf(TWItemLocation item,
                                TWCompanionHint hint = TWCompanionHint::unknown) {
        std::optional<TWFinderInfo> info = TWMacMetadata::readFinderInfo(item, hint);
        return info ? info->typeCode : 0;
    }

    // The fork's bytes and the largest piece it came in; nothing when reading failed.
    static std::optional<std::string> forkOf(TWItemLocation item, std::size_t* largestPiece) {
        std::string fork;
        *largestPiece = 0;
        bool ok = TWMacMetadata::readResourceFork(
            item, TWCompanionHint::unknown, [&](std::span<const std::uint8_t> piece) {
                fork.append(piece.begin(), piece.end());
                *largestPiece = std::max(*largestPiece, piece.size());
            });
        if (!ok)
            return std::nullopt;
        return fork;
    }

    void requireAttributes() {
        if (!tree_.supportsUserAttributes())
            GTEST_SKIP() << "the temporary folder's file system keeps no user attributes";
    }

    TWFixtureTree tree_;
    TWFileDescriptor folderFd_;
    std::string name_;
    std::string path_;
};

std::string patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

TEST_F(TWMacMetadataTest, FileWithNeitherHasNothing) {
    tree_.file("plain.txt", "data");
    for (const Located& l : locations("plain.txt")) {
        SCOPED_TRACE(l.how);
        EXPECT_FALSE(TWMacMetadata::readFinderInfo(l.location));
        EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location), 0u);
        std::size_t largest = 0;
        EXPECT_EQ(forkOf(l.location, &largest), std::string());
    }
}

TEST_F(TWMacMetadataTest, AttributeComesBeforeCompanion) {
    requireAttributes();
    tree_.file("both");
    ASSERT_TRUE(tree_.setFinderInfo("both", "TEXT", "ttxt", TWFinderInfo::kIsInvisible));
    tree_.appleDouble("both", "PICT", "8BIM", 0);
    for (const Located& l : locations("both")) {
        SCOPED_TRACE(l.how);
        std::optional<TWFinderInfo> info = TWMacMetadata::readFinderInfo(l.location);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->typeCode, kText);
        EXPECT_EQ(info->creatorCode, 0x74747874u);
        EXPECT_TRUE(info->isInvisible());
    }
}

TEST_F(TWMacMetadataTest, CompanionAloneGivesFinderInfoUnlessHintSaysAbsent) {
    tree_.file("sub/doc");
    tree_.appleDouble("sub/doc", "PICT", "8BIM", TWFinderInfo::kIsAlias);
    for (const Located& l : locations("sub/doc")) {
        SCOPED_TRACE(l.how);
        std::optional<TWFinderInfo> info = TWMacMetadata::readFinderInfo(l.location);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->typeCode, kPict);
        EXPECT_TRUE(info->isAlias());
        EXPECT_EQ(typeOf(l.location, TWCompanionHint::present), kPict);
        EXPECT_EQ(typeOf(l.location, TWCompanionHint::absent), 0u);
    }
}

TEST_F(TWMacMetadataTest, MalformedAttributeFallsBackToCompanion) {
    requireAttributes();
    tree_.file("f");
    ASSERT_TRUE(tree_.setAttribute("f", TWMacMetadata::kFinderInfoAttribute, "TEXTshort"));
    tree_.appleDouble("f", "PICT", "8BIM", 0);
    for (const Located& l : locations("f")) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(typeOf(l.location), kPict);
    }
}

TEST_F(TWMacMetadataTest, MalformedCompanionCountsAsAbsent) {
    const std::string good =
        TWFixtureTree::appleDoubleBytes(TWFixtureTree::finderInfoBytes("PICT", "8BIM", 0), "fork");
    std::string wrongMagic = good;
    wrongMagic[3] = '\x00';
    std::string wrongVersion = good;
    wrongVersion[5] = '\x01';
    std::string hugeCount = good;
    hugeCount[24] = '\xff';
    hugeCount[25] = '\xff';
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        {"empty", ""},
        {"short", good.substr(0, 20)},
        {"wrong magic", wrongMagic},
        {"wrong version", wrongVersion},
        {"huge entry count", hugeCount},
        {"fork past end", good.substr(0, good.size() - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree_.file("f");
        tree_.file("._f", c.contents);
        for (const Located& l : locations("f")) {
            SCOPED_TRACE(l.how);
            EXPECT_FALSE(TWMacMetadata::readFinderInfo(l.location));
            EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location), 0u);
            std::size_t largest = 0;
            EXPECT_EQ(forkOf(l.location, &largest), std::string());
        }
    }
}

TEST_F(TWMacMetadataTest, CompanionMustBeARegularFileNotALink) {
    tree_.file("real");
    tree_.appleDouble("real", "PICT", "8BIM", 0);
    tree_.file("linked");
    tree_.symlink("._linked", "._real");
    tree_.file("folder");
    tree_.folder("._folder");
    tree_.file("piped");
    tree_.fifo("._piped"); // opening it without O_NONBLOCK would hang the test
    for (const char* name : {"linked", "folder", "piped"}) {
        for (const Located& l : locations(name)) {
            SCOPED_TRACE(std::string(name) + ", " + l.how);
            EXPECT_EQ(typeOf(l.location), 0u);
        }
    }
}

TEST_F(TWMacMetadataTest, CompanionOfACompanionIsNeverRead) {
    tree_.file("._x");
    tree_.file("._._x", TWFixtureTree::appleDoubleBytes(
                            TWFixtureTree::finderInfoBytes("PICT", "8BIM", 0), {}));
    for (const Located& l : locations("._x")) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(typeOf(l.location), 0u);
    }
}

TEST_F(TWMacMetadataTest, AttributesOfALinkTargetAreNotFollowed) {
    requireAttributes();
    tree_.file("target");
    ASSERT_TRUE(tree_.setFinderInfo("target", "TEXT", "ttxt"));
    tree_.symlink("link", "target");
    for (const Located& l : locations("link")) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(typeOf(l.location), 0u);
    }
}

TEST_F(TWMacMetadataTest, NameThatIsNotUtf8) {
    const std::string name = "caf\xe9 \xff\xfe.doc";
    tree_.file(name);
    tree_.appleDouble(name, "PICT", "8BIM", 0, "fork");
    const std::string other = "r\xe9sum\xe9";
    tree_.file(other);
    const bool attributes = tree_.setFinderInfo(other, "TEXT", "ttxt");
    for (const Located& l : locations(name)) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(typeOf(l.location), kPict);
        EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location), 4u);
    }
    if (!attributes)
        return;
    for (const Located& l : locations(other)) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(typeOf(l.location), kText);
    }
}

TEST_F(TWMacMetadataTest, ResourceForkFromAttribute) {
    requireAttributes();
    const std::string fork = patterned(3000);
    tree_.file("f");
    ASSERT_TRUE(tree_.setAttribute("f", TWMacMetadata::kResourceForkAttribute, fork));
    tree_.appleDouble("f", {}, {}, 0, "companion fork");
    for (const Located& l : locations("f")) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location), fork.size());
        std::size_t largest = 0;
        EXPECT_EQ(forkOf(l.location, &largest), fork);
    }
}

TEST_F(TWMacMetadataTest, ResourceForkFromCompanionComesInBoundedPieces) {
    const std::string fork = patterned(200 * 1024 + 17);
    tree_.file("f");
    tree_.appleDouble("f", "TEXT", "ttxt", 0, fork);
    for (const Located& l : locations("f")) {
        SCOPED_TRACE(l.how);
        EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location), fork.size());
        EXPECT_EQ(TWMacMetadata::resourceForkSize(l.location, TWCompanionHint::absent), 0u);
        std::size_t largest = 0;
        std::optional<std::string> read = forkOf(l.location, &largest);
        ASSERT_TRUE(read);
        EXPECT_TRUE(*read == fork) << "fork of " << read->size() << " bytes differs";
        EXPECT_LE(largest, 64u * 1024);
        EXPECT_EQ(typeOf(l.location), kText);
    }
}

} // namespace
