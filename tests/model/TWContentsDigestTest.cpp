#include "model/TWContentsDigest.h"

#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

using TWNodeContents::kEdgeBytes;

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

TWContentsDigest plainDigest(std::string_view bytes) {
    XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
    return {hash.high64, hash.low64};
}

} // namespace

TEST(TWContentsDigestTest, HexIsHighHalfFirst) {
    EXPECT_EQ((TWContentsDigest{0x0123456789abcdefull, 0xfedcba9876543210ull}.hex()),
              "0123456789abcdeffedcba9876543210");
    EXPECT_EQ(TWContentsDigest{}.hex(), std::string(32, '0'));
}

// Every stage at the sizes where it changes behaviour, read through a buffer of the edge
// size (so larger files come in several pieces) and through the default one.
TEST(TWContentsDigestTest, StagesAtTheirEdges) {
    TWFixtureTree tree;
    for (std::size_t bufferSize : {std::size_t(4096), TWContentsReader::kDefaultBufferSize}) {
        TWContentsReader reader(bufferSize);
        for (std::size_t size : {0, 1, 4095, 4096, 4097, 8193, 65536, 65537}) {
            SCOPED_TRACE("size " + std::to_string(size) + ", buffer " + std::to_string(bufferSize));
            std::string bytes = randomBytes(size, static_cast<unsigned>(size));
            auto node = TWFileSystemPath::initWithAbsolutePath(
                tree.file("f" + std::to_string(size), bytes));
            std::size_t edge = std::min<std::size_t>(size, kEdgeBytes);

            EXPECT_EQ(TWNodeContents::headDigest(*node, node->location(), reader),
                      plainDigest(std::string_view(bytes).substr(0, edge)));
            if (size > kEdgeBytes)
                EXPECT_EQ(TWNodeContents::tailDigest(*node, node->location(), reader),
                          plainDigest(std::string_view(bytes).substr(size - kEdgeBytes)));
            else
                EXPECT_EQ(TWNodeContents::tailDigest(*node, node->location(), reader), std::nullopt);
            EXPECT_EQ(TWNodeContents::contentsDigest(*node, node->location(), reader), plainDigest(bytes));
        }
    }
}

// The old word sum could not tell these apart.
TEST(TWContentsDigestTest, ReorderedWordsDiffer) {
    TWFixtureTree tree;
    TWContentsReader reader;
    auto a = TWFileSystemPath::initWithAbsolutePath(tree.file("a", "abcdefgh"));
    auto b = TWFileSystemPath::initWithAbsolutePath(tree.file("b", "efghabcd"));
    EXPECT_NE(TWNodeContents::contentsDigest(*a, a->location(), reader), TWNodeContents::contentsDigest(*b, b->location(), reader));
}

// A file that is no longer the one the node saw has no digest at any stage.
TEST(TWContentsDigestTest, ChangedSinceSeenGivesNoDigest) {
    struct Case {
        const char* name;
        void (*change)(TWFixtureTree&, const std::string& path);
    };
    const Case cases[] = {
        {"removed", [](TWFixtureTree&, const std::string& path) { std::remove(path.c_str()); }},
        {"grown", [](TWFixtureTree&, const std::string& path) {
             std::FILE* file = std::fopen(path.c_str(), "ab");
             std::fputc('!', file);
             std::fclose(file);
         }},
        {"replaced by a file of the same size", [](TWFixtureTree& tree, const std::string& path) {
             std::string other = tree.fileOfSize("other", 10000, 'y');
             std::rename(other.c_str(), path.c_str());
         }},
        {"replaced by a FIFO", [](TWFixtureTree& tree, const std::string& path) {
             std::remove(path.c_str());
             tree.fifo("f");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWFixtureTree tree;
        TWContentsReader reader;
        std::string path = tree.fileOfSize("f", 10000);
        auto node = TWFileSystemPath::initWithAbsolutePath(path);
        c.change(tree, path);
        EXPECT_EQ(TWNodeContents::headDigest(*node, node->location(), reader), std::nullopt);
        EXPECT_EQ(TWNodeContents::tailDigest(*node, node->location(), reader), std::nullopt);
        EXPECT_EQ(TWNodeContents::contentsDigest(*node, node->location(), reader), std::nullopt);
    }
}

TEST(TWContentsDigestTest, FifoIsNeverOpened) {
    TWFixtureTree tree;
    TWContentsReader reader;
    auto node = TWFileSystemPath::initWithAbsolutePath(tree.fifo("pipe"));
    EXPECT_EQ(TWNodeContents::kindOf(*node), TWNodeContents::Kind::none);
    // Opening the FIFO for reading would wait for a writer for ever.
    EXPECT_EQ(TWNodeContents::headDigest(*node, node->location(), reader), std::nullopt);
    EXPECT_EQ(TWNodeContents::contentsDigest(*node, node->location(), reader), std::nullopt);
}

TEST(TWContentsDigestTest, LinkContentsAreItsTargetText) {
    TWFixtureTree tree;
    TWContentsReader reader;
    tree.file("target-a", "one");
    tree.file("target-b", "two");
    auto link1 = TWFileSystemPath::initWithAbsolutePath(tree.symlink("l1", "target-a"));
    auto link2 = TWFileSystemPath::initWithAbsolutePath(tree.symlink("sub/l2", "target-a"));
    auto other = TWFileSystemPath::initWithAbsolutePath(tree.symlink("l3", "target-b"));
    auto dangling = TWFileSystemPath::initWithAbsolutePath(tree.symlink("l4", "target-a"));
    auto textFile = TWFileSystemPath::initWithAbsolutePath(tree.file("text", "target-a"));

    auto digest = TWNodeContents::contentsDigest(*link1, link1->location(), reader);
    ASSERT_TRUE(digest);
    // sub/l2 leads nowhere, yet its text is the same.
    EXPECT_EQ(TWNodeContents::contentsDigest(*link2, link2->location(), reader), digest);
    EXPECT_EQ(TWNodeContents::contentsDigest(*dangling, dangling->location(), reader), digest);
    EXPECT_NE(TWNodeContents::contentsDigest(*other, other->location(), reader), digest);
    // A file holding the target text is not the link.
    EXPECT_NE(TWNodeContents::contentsDigest(*textFile, textFile->location(), reader), digest);
    // Only regular files have heads.
    EXPECT_EQ(TWNodeContents::headDigest(*link1, link1->location(), reader), std::nullopt);
}

TEST(TWContentsDigestTest, PackagesCompareFilesAtTheirRelativePaths) {
    TWFixtureTree tree;
    TWContentsReader reader(4096);
    auto package = [&](const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
        tree.folder(name);
        for (const auto& [path, bytes] : files)
            tree.file(name + "/" + path, bytes);
        return TWFileSystemPath::initWithAbsolutePath(tree.path(name));
    };
    const std::string big = randomBytes(70000, 7);
    auto a = package("A.app", {{"Contents/Info.plist", "plist"}, {"Contents/MacOS/run", big}});
    auto same = package("B.app", {{"Contents/MacOS/run", big}, {"Contents/Info.plist", "plist"}});
    auto renamed = package("C.app", {{"Contents/Info.plist", "plist"}, {"Contents/MacOS/go", big}});
    auto moved = package("D.app", {{"Contents/Info.plist", "plist"}, {"Contents/run", big}});
    auto swapped = package("E.app", {{"Contents/Info.plist", big}, {"Contents/MacOS/run", "plist"}});
    // The bytes of two files run together would read the same.
    auto split = package("F.app", {{"Contents/Info.plist", "pli"}, {"Contents/MacOS/run", "st" + big}});

    auto digest = TWNodeContents::contentsDigest(*a, a->location(), reader);
    ASSERT_TRUE(digest);
    EXPECT_EQ(TWNodeContents::contentsDigest(*same, same->location(), reader), digest);
    for (const auto* other : {&renamed, &moved, &swapped, &split})
        EXPECT_NE(TWNodeContents::contentsDigest(**other, (*other)->location(), reader), digest);

    // A link inside counts by its text; a FIFO inside leaves the package without a digest.
    auto withLink = package("G.app", {{"Contents/Info.plist", "plist"}});
    tree.symlink("G.app/Contents/MacOS", "elsewhere");
    EXPECT_TRUE(TWNodeContents::contentsDigest(*withLink, withLink->location(), reader));
    EXPECT_NE(TWNodeContents::contentsDigest(*withLink, withLink->location(), reader), digest);
    auto withFifo = package("H.app", {{"Contents/Info.plist", "plist"}});
    tree.fifo("H.app/Contents/pipe");
    EXPECT_EQ(TWNodeContents::contentsDigest(*withFifo, withFifo->location(), reader), std::nullopt);
}

TEST(TWContentsDigestTest, AbandonedReadGivesNoDigest) {
    TWFixtureTree tree;
    TWContentsReader reader(4096);
    auto node = TWFileSystemPath::initWithAbsolutePath(tree.fileOfSize("big", 100000));
    int pieces = 0;
    EXPECT_EQ(TWNodeContents::contentsDigest(*node, node->location(), reader, [&] { return ++pieces < 3; }),
              std::nullopt);
    EXPECT_EQ(pieces, 3);
}

TEST(TWContentsDigestTest, ResourceForkDigestComesFromTheFork) {
    TWFixtureTree tree;
    tree.file("a", "data");
    tree.file("b", "data");
    tree.file("c", "data");
    tree.appleDouble("a", "", "", 0, "fork one");
    tree.appleDouble("b", "", "", 0, "fork one");
    tree.appleDouble("c", "", "", 0, "fork two");
    auto a = TWFileSystemPath::initWithAbsolutePath(tree.path("a"));
    auto b = TWFileSystemPath::initWithAbsolutePath(tree.path("b"));
    auto c = TWFileSystemPath::initWithAbsolutePath(tree.path("c"));
    auto digest = TWNodeContents::resourceForkDigest(*a);
    ASSERT_TRUE(digest);
    EXPECT_EQ(TWNodeContents::resourceForkDigest(*b), digest);
    EXPECT_NE(TWNodeContents::resourceForkDigest(*c), digest);
}
