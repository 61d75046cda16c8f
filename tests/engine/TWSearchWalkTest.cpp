// Whole searches over fixture trees: what the walk offers as duplicates.
#include "engine/TWSearchController.h"
#include "platform/TWFinderInfo.h"
#include "support/TWFixtureTree.h"
#include "support/TWTestSearchHost.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Groups = std::vector<std::vector<std::string>>;
using List = TWParamValue::List;

const TWSearchParams kNamesAndSizes = {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}};

Groups search(const std::vector<std::string>& startPaths, const TWSearchParams& params) {
    TWTestSearch run(startPaths, params);
    EXPECT_TRUE(run.run()) << "the search did not end";
    return run.sortedGroupPaths();
}

// No group may hold one item twice, by path or by identity.
void expectNoItemTwice(const Groups& groups) {
    std::set<std::string> paths;
    std::set<std::pair<dev_t, ino_t>> items;
    for (const auto& group : groups) {
        for (const std::string& path : group) {
            EXPECT_TRUE(paths.insert(path).second) << "offered twice: " << path;
            struct stat info;
            if (::lstat(path.c_str(), &info) == 0) {
                EXPECT_TRUE(items.insert({info.st_dev, info.st_ino}).second)
                    << "same item twice: " << path;
            }
        }
    }
}

TEST(SearchWalk, HardLinksAreOfferedOnce) {
    TWFixtureTree tree;
    tree.file("a/f", "0123456789");
    tree.hardLink("b/f", "a/f");
    tree.hardLink("a/other-name", "a/f");
    tree.file("c/f", "0123456789");

    Groups byName = search({tree.root()}, kNamesAndSizes);
    ASSERT_EQ(byName.size(), 1u);
    ASSERT_EQ(byName[0].size(), 2u);
    EXPECT_EQ(byName[0][1], tree.path("c/f"));
    expectNoItemTwice(byName);

    Groups bySize = search({tree.root()}, {{"TWSizesMatch", ""}});
    ASSERT_EQ(bySize.size(), 1u);
    EXPECT_EQ(bySize[0].size(), 2u); // one of the three names of the linked file, and c/f
    expectNoItemTwice(bySize);
}

TEST(SearchWalk, LinkToFolderIsRecordedAsALinkAndNotEntered) {
    TWFixtureTree tree;
    tree.file("real/f", "12345");
    tree.file("copy/f", "12345");
    tree.symlink("x/ln", "../real");
    tree.symlink("y/ln", "../real");

    EXPECT_EQ(search({tree.root()}, kNamesAndSizes),
              (Groups{{tree.path("copy/f"), tree.path("real/f")},
                      {tree.path("x/ln"), tree.path("y/ln")}}));
    TWSearchParams skipLinks = kNamesAndSizes;
    skipLinks["TWSymLinkAliasFilter"] = "";
    EXPECT_EQ(search({tree.root()}, skipLinks),
              (Groups{{tree.path("copy/f"), tree.path("real/f")}}));
}

TEST(SearchWalk, DanglingLinksAreSkipped) {
    TWFixtureTree tree;
    tree.symlink("a/dl", "nowhere");
    tree.symlink("b/dl", "nowhere");
    tree.file("target", "x");
    tree.symlink("a/ok", "../target");
    tree.symlink("b/ok", "../target");
    EXPECT_EQ(search({tree.root()}, kNamesAndSizes),
              (Groups{{tree.path("a/ok"), tree.path("b/ok")}}));
}

TEST(SearchWalk, NestedAndRepeatedStartPathsOfferNoFileTwice) {
    TWFixtureTree tree;
    tree.file("top/a/f", "same");
    tree.file("top/b/f", "same");
    tree.file("top/a/only", "once");
    const Groups expected = {{tree.path("top/a/f"), tree.path("top/b/f")}};

    const std::vector<std::vector<std::string>> startLists = {
        {tree.path("top"), tree.path("top/a")},
        {tree.path("top/a"), tree.path("top")},
        {tree.path("top"), tree.path("top")},
        {tree.path("top/a"), tree.path("top/./b/../a/"), tree.path("top/b")},
        {tree.path("top/a/f"), tree.path("top")},
        {tree.path("top/a/f"), tree.path("top/a/f"), tree.path("top/b/f")},
    };
    for (const auto& starts : startLists) {
        SCOPED_TRACE(testing::PrintToString(starts));
        Groups groups = search(starts, kNamesAndSizes);
        EXPECT_EQ(groups, expected);
        expectNoItemTwice(groups);
    }
}

TEST(SearchWalk, StartPathThatIsALinkToAFolderIsResolved) {
    TWFixtureTree tree;
    tree.file("real/f", "same");
    tree.file("real/sub/f", "same");
    tree.symlink("ln", "real");
    const Groups expected = {{tree.path("real/f"), tree.path("real/sub/f")}};
    EXPECT_EQ(search({tree.path("ln")}, kNamesAndSizes), expected);
    EXPECT_EQ(search({tree.path("ln"), tree.path("real")}, kNamesAndSizes), expected);
    EXPECT_EQ(search({tree.path("real/sub"), tree.path("ln/")}, kNamesAndSizes), expected);
}

TEST(SearchWalk, LinkedFolderMetTwiceIsWalkedOnce) {
    // A folder reached through two start paths that name it differently (one through a link
    // above it) is one folder: its files are not their own duplicates.
    TWFixtureTree tree;
    tree.file("real/inner/f", "same");
    tree.file("real/g", "same");
    tree.symlink("ln", "real");
    Groups groups = search({tree.path("ln/inner/.."), tree.path("real/inner"), tree.path("real")},
                           kNamesAndSizes);
    EXPECT_TRUE(groups.empty()) << testing::PrintToString(groups);
}

TEST(SearchWalk, StartFileNamedThroughALinkedFolderIsOfferedOnce) {
    // A file given as a start path by way of a linked folder is the same file as the one the
    // walk of that folder meets, even with a single link.
    TWFixtureTree tree;
    tree.file("real/f", "same");
    tree.file("other/f", "same");
    tree.symlink("ln", "real");
    const Groups expected = {{tree.path("other/f"), tree.path("real/f")}};
    const std::vector<std::vector<std::string>> startLists = {
        {tree.path("ln/f"), tree.path("real/f"), tree.path("other")},
        {tree.path("ln/f"), tree.path("real"), tree.path("other")},
        {tree.path("real"), tree.path("ln/f"), tree.path("other")},
        {tree.path("ln/f"), tree.root()},
    };
    for (const auto& starts : startLists) {
        SCOPED_TRACE(testing::PrintToString(starts));
        Groups groups = search(starts, kNamesAndSizes);
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].size(), 2u);
        EXPECT_TRUE(std::find(groups[0].begin(), groups[0].end(), tree.path("other/f")) !=
                    groups[0].end());
        expectNoItemTwice(groups);
    }
    // A start file that the filters leave out leaves its other names to the walk.
    tree.hardLink("real/g.jpg", "real/f");
    tree.file("other/g.jpg", "same");
    TWSearchParams jpegs = kNamesAndSizes;
    jpegs["TWExtensionFilter"] = TWParamValue::List{"TWInclude", TWParamValue::List{"jpg"}};
    EXPECT_EQ(search({tree.path("ln/f"), tree.path("real"), tree.path("other")}, jpegs),
              (Groups{{tree.path("other/g.jpg"), tree.path("real/g.jpg")}}));
}

TEST(SearchWalk, HiddenListAndInvisibles) {
    TWFixtureTree tree;
    tree.file("d/f", "same");
    tree.file("d/.hidden", "f\n");
    tree.file("e/f", "same");
    tree.file("e2/f", "same");
    tree.file("e3/.f", "same");
    tree.file("dot/.f", "same");
    tree.file(".invisibleFolder/f", "same");

    TWSearchParams skipInvisible = kNamesAndSizes;
    skipInvisible["TWInvisiblesFilter"] = "";
    EXPECT_EQ(search({tree.root()}, skipInvisible), (Groups{{tree.path("e/f"), tree.path("e2/f")}}));
    EXPECT_EQ(search({tree.root()}, kNamesAndSizes),
              (Groups{{tree.path(".invisibleFolder/f"), tree.path("d/f"), tree.path("e/f"),
                       tree.path("e2/f")},
                      {tree.path("dot/.f"), tree.path("e3/.f")}}));
    // An invisible start folder yields nothing.
    EXPECT_TRUE(search({tree.path(".invisibleFolder")}, skipInvisible).empty());
}

TEST(SearchWalk, FinderInformationFromAttributeAndCompanion) {
    TWFixtureTree tree;
    if (!tree.supportsUserAttributes())
        GTEST_SKIP() << "no user extended attributes here";
    tree.file("a.txt", "1");
    ASSERT_TRUE(tree.setFinderInfo("a.txt", "TEXT", "ttxt"));
    tree.file("b.txt", "22");
    tree.appleDouble("b.txt", "TEXT", "ttxt", 0);
    tree.file("c.txt", "333");
    tree.file("._c.txt", std::string("\x00\x05\x16\x07garbage", 11)); // malformed companion
    tree.file("d.txt", "4444");
    tree.file("e.txt", "55555");
    ASSERT_TRUE(tree.setFinderInfo("e.txt", "PICT", "ttxt"));
    tree.file("f.txt", "666666");
    tree.appleDouble("f.txt", "PICT", "8BIM", TWFinderInfo::kIsInvisible);

    EXPECT_EQ(search({tree.root()}, {{"TWHFSTypeMatch", ""}}),
              (Groups{{tree.path("a.txt"), tree.path("b.txt")},
                      {tree.path("e.txt"), tree.path("f.txt")}}));
    EXPECT_EQ(search({tree.root()}, {{"TWHFSCreatorMatch", ""}}),
              (Groups{{tree.path("a.txt"), tree.path("b.txt"), tree.path("e.txt")}}));
    EXPECT_EQ(search({tree.root()}, {{"TWHFSTypeMatch", ""}, {"TWInvisiblesFilter", ""}}),
              (Groups{{tree.path("a.txt"), tree.path("b.txt")}}));
    EXPECT_EQ(search({tree.root()},
                     {{"TWSizesMatch", ""},
                      {"TWHFSTypeFilter", List{"TWInclude", List{"TEXT", "PICT"}}}}),
              Groups{});
}

TEST(SearchWalk, NameThatIsNotUtf8ReachesTheResultUnchanged) {
    TWFixtureTree tree;
    const std::string name = "caf\xE9 \xFF\xFE.txt";
    tree.file("a/" + name, "same");
    tree.file("b/" + name, "same");
    Groups groups = search({tree.root()}, kNamesAndSizes);
    EXPECT_EQ(groups, (Groups{{tree.path("a/" + name), tree.path("b/" + name)}}));
}

// Counts the opens of the watched items (IN_OPEN) while it lives.
class OpenWatch {
public:
    OpenWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenWatch() { ::close(fd_); }
    bool watch(const std::string& path) {
        return ::inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_DONT_FOLLOW) >= 0;
    }
    int opens() {
        alignas(inotify_event) char buffer[4096];
        int count = 0;
        for (;;) {
            ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                return count;
            for (char* p = buffer; p < buffer + n;) {
                auto* event = reinterpret_cast<inotify_event*>(p);
                if (event->mask & IN_OPEN)
                    ++count;
                p += sizeof(inotify_event) + event->len;
            }
        }
    }

private:
    int fd_;
};

TEST(SearchWalk, FifosAndSocketsAreRecordedLikeFilesAndNeverOpened) {
    TWFixtureTree tree;
    tree.fifo("a/pipe");
    tree.fifo("b/pipe");
    tree.socket("a/sock");
    tree.socket("b/sock");
    OpenWatch watch;
    for (const char* item : {"a/pipe", "b/pipe", "a/sock", "b/sock"})
        ASSERT_TRUE(watch.watch(tree.path(item))) << item;

    // Every criterion and filter that asks something of a file, contents included.
    TWSearchParams everything = kNamesAndSizes;
    for (const char* key :
         {"TWContentsMatch", "TWModifiedMatch", "TWHFSTypeMatch", "TWHFSCreatorMatch",
          "TWExtensionMatch", "TWExamineResourceForks", "TWInvisiblesFilter",
          "TWSymLinkAliasFilter", "TWPackageContentsFilter"})
        everything[key] = "";
    EXPECT_EQ(search({tree.root()}, kNamesAndSizes),
              (Groups{{tree.path("a/pipe"), tree.path("b/pipe")},
                      {tree.path("a/sock"), tree.path("b/sock")}}));
    EXPECT_EQ(watch.opens(), 0);
    for (const TWSearchParams& params :
         {TWSearchParams{{"TWContentsMatch", ""}}, everything,
          TWSearchParams{{"TWCreatedMatch", ""}, {"TWSizesMatch", ""}}}) {
        search({tree.root()}, params); // nothing to compare contents with
        EXPECT_EQ(watch.opens(), 0);
    }
}

TEST(SearchWalk, FifoNamedLikeACompanionIsNotOpened) {
    TWFixtureTree tree;
    tree.file("a/doc", "x");
    tree.fifo("a/._doc");
    OpenWatch watch;
    ASSERT_TRUE(watch.watch(tree.path("a/._doc")));
    search({tree.root()}, {{"TWHFSTypeMatch", ""}, {"TWInvisiblesFilter", ""},
                           {"TWSizesMatch", ""}, {"TWExamineResourceForks", ""}});
    EXPECT_EQ(watch.opens(), 0);
}

// The deepest path is about 200 KB: far beyond PATH_MAX, and far beyond what a recursion on
// the call stack would survive.
TEST(SearchWalk, TreeOneHundredThousandFoldersDeepIsWalkedToItsBottom) {
    constexpr std::size_t kDepth = 100'000;
    // Making and removing 100,000 folders on a disk costs far more than walking them; a
    // memory file system, where there is one, keeps the test about the walk.
    std::optional<TWScopedEnvironment> inMemory;
    if (::access("/dev/shm", W_OK | X_OK) == 0)
        inMemory.emplace("TMPDIR", "/dev/shm");
    TWFixtureTree tree;
    // Each folder is named like the end of "/Network", which the walk must tell apart from
    // that folder without putting together the folder's whole path.
    tree.deepFolderChain("deep", kDepth, "k", "bottom.txt", "same");
    tree.file("top/bottom.txt", "same");

    TWTestSearch run({tree.root()}, kNamesAndSizes);
    ASSERT_TRUE(run.run());
    Groups groups = run.groupPaths();
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].size(), 2u);
    const std::string& deepest =
        groups[0][0].size() > groups[0][1].size() ? groups[0][0] : groups[0][1];
    const std::string& shallow = &deepest == &groups[0][0] ? groups[0][1] : groups[0][0];
    EXPECT_EQ(shallow, tree.path("top/bottom.txt"));
    std::string chain;
    for (std::size_t level = 0; level < kDepth; ++level)
        chain += "/k";
    EXPECT_EQ(deepest, tree.path("deep") + chain + "/bottom.txt");
}

TEST(SearchWalk, KernelPseudoFileSystemsAreNotEntered) {
    // /proc holds many files of equal names and sizes (every process has the same ones).
    Groups groups = search({"/proc"}, kNamesAndSizes);
    EXPECT_TRUE(groups.empty()) << groups.size() << " groups";
    groups = search({"/sys/kernel"}, kNamesAndSizes);
    EXPECT_TRUE(groups.empty()) << groups.size() << " groups";
}

} // namespace
