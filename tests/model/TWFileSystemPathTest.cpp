#include "model/TWFileSystemPath.h"

#include "platform/TWFinderInfo.h"
#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace {

std::uint64_t lstatSize(const std::string& path) {
    struct stat info;
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return static_cast<std::uint64_t>(info.st_size);
}

TEST(FileSystemPathNode, SymbolicLinkToFolderIsALinkWithItsOwnSize) {
    TWFixtureTree tree;
    tree.fileOfSize("target/inside", 500);
    std::string link = tree.symlink("link", "target");

    auto node = TWFileSystemPath::initWithAbsolutePath(link);
    EXPECT_TRUE(node->isLink());
    EXPECT_FALSE(node->isDirectory());
    EXPECT_EQ(node->fileSize(), std::string("target").size());
    EXPECT_TRUE(node->exists());
}

TEST(FileSystemPathNode, FolderSizeIsItsOwnSizePlusEverythingBelowComputedOnce) {
    TWFixtureTree tree;
    std::string folder = tree.folder("dir");
    std::string file = tree.fileOfSize("dir/file", 100);
    tree.fileOfSize("dir/.invisible", 7);
    std::string sub = tree.folder("dir/sub");
    tree.fileOfSize("dir/sub/deeper", 50);
    std::string link = tree.symlink("dir/sub/link", "../file");
    std::uint64_t expected = lstatSize(folder) + 100 + 7 + lstatSize(sub) + 50 + lstatSize(link);

    auto node = TWFileSystemPath::initWithAbsolutePath(folder);
    ASSERT_TRUE(node->isDirectory());
    EXPECT_EQ(node->fileSize(), expected);

    tree.fileOfSize("dir/file", 5000); // the child grows; the total is not asked again
    EXPECT_EQ(node->fileSize(), expected);
    EXPECT_EQ(TWFileSystemPath::initWithAbsolutePath(folder)->fileSize(), expected + 4900);
}

TEST(FileSystemPathNode, FileNameAndExtension) {
    struct NameCase {
        const char* name;
        const char* fileName;
        const char* extension;
    };
    const NameCase cases[] = {
        {"photo.jpg", "photo", "jpg"}, {"IMG_0001.JPG", "IMG_0001", "JPG"},
        {"a.b.c", "a.b", "c"},         {".bashrc", ".bashrc", ""},
        {".config.bak", ".config", "bak"}, {"a.", "a", ""},
        {"plain", "plain", ""},
    };
    TWFixtureTree tree;
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto node = TWFileSystemPath::initWithAbsolutePath(tree.path(c.name));
        EXPECT_EQ(node->lastPathComponent(), c.name);
        EXPECT_EQ(node->fileName(), c.fileName);
        EXPECT_EQ(node->pathExtension(), c.extension);
    }
}

TEST(FileSystemPathNode, SizeCompareUsesTheWhole64Bits) {
    TWFixtureTree tree;
    std::string big = tree.file("big");
    ASSERT_EQ(::truncate(big.c_str(), 1ll << 32), 0); // sparse: no 4 GiB written
    auto bigNode = TWFileSystemPath::initWithAbsolutePath(big);
    auto small = TWFileSystemPath::initWithAbsolutePath(tree.fileOfSize("small", 1));
    auto alsoSmall = TWFileSystemPath::initWithAbsolutePath(tree.fileOfSize("alsoSmall", 1));

    EXPECT_EQ(bigNode->fileSize(), 1ull << 32);
    EXPECT_EQ(bigNode->sizeCompare(*small), -1);
    EXPECT_EQ(small->sizeCompare(*bigNode), 1);
    EXPECT_EQ(small->sizeCompare(*alsoSmall), 0);
    EXPECT_EQ(bigNode->sizeString(), "4.00gb");
}

TEST(FileSystemPathNode, MissingItemGivesNeutralAnswers) {
    TWFixtureTree tree;
    auto node = TWFileSystemPath::initWithAbsolutePath(tree.path("not/there.txt"));
    EXPECT_FALSE(node->isDirectory());
    EXPECT_FALSE(node->isLink());
    EXPECT_EQ(node->fileSize(), 0u);
    EXPECT_FALSE(node->exists());
    EXPECT_FALSE(node->isReadable());
    EXPECT_FALSE(node->modified());
    EXPECT_FALSE(node->created());
    EXPECT_EQ(node->fileHFSTypeCode(), "");
    EXPECT_EQ(node->resourceForkSize(), 0u);
    EXPECT_EQ(node->sizeString(), "0 bytes");
    EXPECT_FALSE(node->seenStat());
}

TEST(FileSystemPathNode, DanglingLinkIsALinkThatDoesNotExist) {
    TWFixtureTree tree;
    auto node = TWFileSystemPath::initWithAbsolutePath(tree.symlink("dangling", "nowhere"));
    EXPECT_TRUE(node->isLink());
    EXPECT_FALSE(node->exists());
    EXPECT_FALSE(node->isReadable());
}

TEST(FileSystemPathNode, TypeAndCreatorCodesFromAttributeOrCompanion) {
    TWFixtureTree tree;
    if (!tree.supportsUserAttributes())
        GTEST_SKIP() << "no user extended attributes here";
    tree.file("none.txt", "x");
    tree.file("attr.txt", "x");
    ASSERT_TRUE(tree.setFinderInfo("attr.txt", "TEXT", "ttxt"));
    tree.file("companion.pict", "x");
    tree.appleDouble("companion.pict", "PICT", "8BIM", 0);
    tree.file("broken.txt", "x");
    tree.file("._broken.txt", "not an AppleDouble file at all");

    struct CodeCase {
        const char* name;
        const char* type;
        const char* creator;
    };
    const CodeCase cases[] = {
        {"none.txt", "", ""},
        {"attr.txt", "'TEXT'", "'ttxt'"},
        {"companion.pict", "'PICT'", "'8BIM'"},
        {"broken.txt", "", ""},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto node = TWFileSystemPath::initWithAbsolutePath(tree.path(c.name));
        EXPECT_EQ(node->fileHFSTypeCode(), c.type);
        EXPECT_EQ(node->fileHFSCreatorCode(), c.creator);
    }
}

TEST(FileSystemPathNode, Visibility) {
    TWFixtureTree tree;
    tree.file("shown", "x");
    tree.file(".dotted", "x");
    tree.file("listed", "x");
    tree.file(".hidden", "listed\nsomething-else\n");
    tree.file("flagged", "x");
    bool attributes = tree.supportsUserAttributes() &&
                      tree.setFinderInfo("flagged", "TEXT", "ttxt", TWFinderInfo::kIsInvisible);

    EXPECT_TRUE(TWFileSystemPath::initWithAbsolutePath(tree.path("shown"))->isVisible());
    EXPECT_FALSE(TWFileSystemPath::initWithAbsolutePath(tree.path(".dotted"))->isVisible());
    EXPECT_FALSE(TWFileSystemPath::initWithAbsolutePath(tree.path("listed"))->isVisible());
    if (attributes) {
        EXPECT_FALSE(TWFileSystemPath::initWithAbsolutePath(tree.path("flagged"))->isVisible());
    }
}

TEST(FileSystemPathNode, WalkNodeJoinsItsFolderPathWithOneSeparator) {
    TWStatSnapshot stat;
    TWFileSystemPath atRoot(TWPathChain::root("/"), "etc", stat);
    EXPECT_EQ(atRoot.absolutePath(), "/etc");
    EXPECT_EQ(atRoot.parentPath(), "/");

    auto folder = TWPathChain::child(TWPathChain::root("/home"), "user");
    TWFileSystemPath deeper(folder, "notes.txt", stat);
    EXPECT_TRUE(deeper.hasAbsolutePath("/home/user/notes.txt"));
    EXPECT_FALSE(deeper.hasAbsolutePath("/home/usernotes.txt"));
    EXPECT_EQ(deeper.absolutePath(), "/home/user/notes.txt");
    EXPECT_EQ(deeper.parentPath(), "/home/user");
}

} // namespace
