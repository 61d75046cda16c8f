#include "platform/TWDirectoryWalker.h"

#include "platform/TWPathChain.h"
#include "platform/TWPseudoFileSystems.h"
#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// What a walk met: each entry's path relative to the start folder and its depth.
struct Visit {
    std::string path;
    std::size_t depth;
    bool isDirectory;
    bool isLink;
};

std::string relativeOf(const TWWalkEntry& entry, const std::string& start) {
    std::string full = entry.folder.path()->pathOf(entry.name);
    return full.substr(std::min(full.size(), start.size() + 1));
}

std::vector<Visit> walk(const std::string& start, const TWWalkOptions& options = {}) {
    std::vector<Visit> visits;
    walkFolder(start, options, [&](const TWWalkEntry& entry) {
        visits.push_back({relativeOf(entry, start), entry.depth, entry.stat.isDirectory(),
                          entry.stat.isSymbolicLink()});
        return TWWalkAction::enter;
    });
    return visits;
}

TEST(DirectoryWalker, DepthFirstPreOrderWithDepths) {
    TWFixtureTree tree;
    tree.file("a/x", "1");
    tree.file("a/b/y", "2");
    tree.file("a/b/c/z", "3");
    tree.file("top", "4");
    std::vector<Visit> visits = walk(tree.root());

    std::map<std::string, std::size_t> position;
    for (std::size_t i = 0; i < visits.size(); ++i)
        position[visits[i].path] = i;
    ASSERT_EQ(visits.size(), 7u);
    const std::pair<const char*, std::size_t> depths[] = {
        {"a", 1}, {"a/x", 2}, {"a/b", 2}, {"a/b/y", 3}, {"a/b/c", 3}, {"a/b/c/z", 4}, {"top", 1}};
    for (const auto& [path, depth] : depths) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(position.count(path));
        EXPECT_EQ(visits[position[path]].depth, depth);
    }
    // Every folder comes before what it holds, and what it holds comes in one run after it.
    for (const char* folder : {"a", "a/b", "a/b/c"}) {
        SCOPED_TRACE(folder);
        std::size_t first = position[folder];
        std::string prefix = std::string(folder) + "/";
        std::size_t last = first;
        for (std::size_t i = 0; i < visits.size(); ++i)
            if (visits[i].path.compare(0, prefix.size(), prefix) == 0) {
                EXPECT_GT(i, first);
                last = std::max(last, i);
            }
        for (std::size_t i = first + 1; i <= last; ++i)
            EXPECT_EQ(visits[i].path.compare(0, prefix.size(), prefix), 0) << visits[i].path;
    }
}

TEST(DirectoryWalker, SymbolicLinksAreNeverFollowed) {
    TWFixtureTree tree;
    tree.file("real/inside", "x");
    tree.symlink("link", "real");
    tree.symlink("loop", ".");
    std::vector<Visit> visits = walk(tree.root());
    std::vector<std::string> paths;
    for (const Visit& v : visits)
        paths.push_back(v.path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"link", "loop", "real", "real/inside"}));
    for (const Visit& v : visits)
        if (v.path == "link" || v.path == "loop") {
            EXPECT_TRUE(v.isLink);
            EXPECT_FALSE(v.isDirectory);
        }
}

TEST(DirectoryWalker, SeenItemsAreMetOnce) {
    TWFixtureTree tree;
    tree.file("a/f", "x");
    tree.hardLink("b/f", "a/f");
    tree.file("a/single", "x");
    std::unordered_set<TWFileIdentity> seen;
    TWWalkOptions options;
    options.seenItems = &seen;
    std::vector<Visit> visits = walk(tree.root(), options);
    int linked = 0;
    for (const Visit& v : visits)
        linked += v.path == "a/f" || v.path == "b/f";
    EXPECT_EQ(linked, 1);
    // Only folders and files with more than one link are remembered: a, b and the linked file.
    EXPECT_EQ(seen.size(), 3u);
    // A second walk of the same tree with the same set meets nothing again: the folders are
    // known, and so is the linked file.
    EXPECT_TRUE(walk(tree.root(), options).empty());
}

TEST(DirectoryWalker, SkipTakeAndStop) {
    TWFixtureTree tree;
    tree.file("skipped/inner", "x");
    tree.file("taken/inner", "x");
    tree.file("other/inner", "x");
    std::vector<std::string> met;
    bool completed = walkFolder(tree.root(), {}, [&](const TWWalkEntry& entry) {
        met.push_back(relativeOf(entry, tree.root()));
        if (entry.name == "skipped")
            return TWWalkAction::skip;
        if (entry.name == "taken")
            return TWWalkAction::take;
        return TWWalkAction::enter;
    });
    EXPECT_TRUE(completed);
    std::sort(met.begin(), met.end());
    EXPECT_EQ(met, (std::vector<std::string>{"other", "other/inner", "skipped", "taken"}));

    int visits = 0;
    completed = walkFolder(tree.root(), {}, [&](const TWWalkEntry&) {
        ++visits;
        return TWWalkAction::stop;
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(visits, 1);
}

// With few descriptors kept open, folders are opened again through ".." on the way up; every
// entry of every level is still met once.
TEST(DirectoryWalker, FewOpenFoldersStillMeetEveryEntry) {
    TWFixtureTree tree;
    std::string level;
    for (int depth = 0; depth < 60; ++depth) {
        level += (level.empty() ? "" : "/") + std::string("d");
        for (const char* name : {"a", "m", "z"})
            tree.file(level + "/" + name, "x");
        tree.folder(level + "/sideA/inner");
        tree.folder(level + "/sideZ");
    }
    for (std::size_t open : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{48}}) {
        SCOPED_TRACE(open);
        TWWalkOptions options;
        options.maxOpenFolders = open;
        std::vector<Visit> visits = walk(tree.root(), options);
        std::set<std::string> unique;
        for (const Visit& v : visits)
            unique.insert(v.path);
        EXPECT_EQ(unique.size(), visits.size());
        EXPECT_EQ(visits.size(), 60u * 7u); // d, a, m, z, sideA, sideA/inner, sideZ per level
    }
}

TEST(DirectoryWalker, TreeOneHundredThousandFoldersDeepIsWalkedToItsBottom) {
    constexpr std::size_t kDepth = 100'000;
    // Making and removing 100,000 folders on a disk costs far more than walking them.
    std::optional<TWScopedEnvironment> inMemory;
    if (::access("/dev/shm", W_OK | X_OK) == 0)
        inMemory.emplace("TMPDIR", "/dev/shm");
    TWFixtureTree tree;
    tree.deepFolderChain("deep", kDepth, "d", "bottom", "x");
    std::size_t folders = 0, deepest = 0;
    std::string bottomFolder;
    bool completed = walkFolder(tree.path("deep"), {}, [&](const TWWalkEntry& entry) {
        if (entry.stat.isDirectory())
            ++folders;
        if (entry.name == "bottom") {
            deepest = entry.depth;
            bottomFolder = entry.folder.path()->path();
        }
        return TWWalkAction::enter;
    });
    EXPECT_TRUE(completed);
    EXPECT_EQ(folders, kDepth);
    EXPECT_EQ(deepest, kDepth + 1);
    EXPECT_EQ(bottomFolder.size(), tree.path("deep").size() + 2 * kDepth);
}

TEST(PathChain, JoinsWithOneSeparator) {
    auto root = TWPathChain::root("/");
    auto home = TWPathChain::child(root, "home");
    auto user = TWPathChain::child(home, "user");
    EXPECT_EQ(root->path(), "/");
    EXPECT_EQ(home->path(), "/home");
    EXPECT_EQ(user->path(), "/home/user");
    EXPECT_EQ(root->pathOf("etc"), "/etc");
    EXPECT_EQ(user->pathOf("notes"), "/home/user/notes");
    auto start = TWPathChain::root("/srv/data");
    EXPECT_EQ(TWPathChain::child(start, "x")->path(), "/srv/data/x");
    EXPECT_EQ(joinPath("/", "a"), "/a");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
}

// The chain of a file at the bottom of a very deep tree is let go link by link, not by a
// recursion as deep as the tree.
TEST(PathChain, ChainAMillionFoldersDeepIsLetGoWithoutRecursion) {
    auto chain = TWPathChain::root("/");
    for (int i = 0; i < 1'000'000; ++i)
        chain = TWPathChain::child(std::move(chain), "d");
    std::weak_ptr<const TWPathChain> watch = chain;
    chain.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(PseudoFileSystems, TypesAndMountTable) {
    for (const char* type : {"proc", "sysfs", "devtmpfs", "cgroup2", "debugfs", "autofs"})
        EXPECT_TRUE(isPseudoFileSystemType(type)) << type;
    for (const char* type : {"ext4", "tmpfs", "btrfs", "nfs", "fuse.sshfs", "", "Proc"})
        EXPECT_FALSE(isPseudoFileSystemType(type)) << type;

    TWMountTable table = TWMountTable::parse(
        "22 1 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:5 - proc proc rw\n"
        "23 1 0:22 / /sys rw,nosuid - sysfs sysfs rw\n"
        "24 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "garbage line\n"
        "25 1 0:45 / /run rw - tmpfs tmpfs rw");
    EXPECT_TRUE(table.isOnPseudoFileSystem(-1, makedev(0, 21)));
    EXPECT_TRUE(table.isOnPseudoFileSystem(-1, makedev(0, 22)));
    EXPECT_FALSE(table.isOnPseudoFileSystem(-1, makedev(8, 1)));
    EXPECT_FALSE(table.isOnPseudoFileSystem(-1, makedev(0, 45)));
    EXPECT_FALSE(table.isOnPseudoFileSystem(-1, makedev(9, 9))); // unknown, no folder to ask
}

TEST(PseudoFileSystems, WalkDoesNotEnterThem) {
    TWMountTable mounts = TWMountTable::read();
    TWWalkOptions options;
    options.mounts = &mounts;
    EXPECT_TRUE(walk("/proc", options).empty());
    EXPECT_TRUE(walk("/sys", options).empty());
    // An ordinary tree is walked as before.
    TWFixtureTree tree;
    tree.file("a/f", "x");
    EXPECT_EQ(walk(tree.root(), options).size(), 2u);
}

} // namespace

// Entries examined ahead on the second thread give the same walk, whatever descriptors are
// closed and opened again meanwhile, and however early the walk stops.
TEST(DirectoryWalker, ExaminingAheadMeetsTheSameEntries) {
    TWFixtureTree tree;
    for (int folder = 0; folder < 12; ++folder)
        for (int file = 0; file < 30; ++file)
            tree.fileOfSize("f" + std::to_string(folder) + "/g/h" + std::to_string(file % 3) +
                                "/e" + std::to_string(file),
                            static_cast<std::uint64_t>(folder * 100 + file));
    auto summary = [](const std::vector<Visit>& visits) {
        std::vector<std::string> paths;
        for (const Visit& visit : visits)
            paths.push_back(visit.path + (visit.isDirectory ? "/" : ""));
        return paths;
    };
    std::vector<std::string> plain = summary(walk(tree.root()));
    for (std::size_t open : {std::size_t(1), std::size_t(2), std::size_t(48)}) {
        SCOPED_TRACE(open);
        TWWalkOptions options;
        options.prefetchAttributes = true;
        options.maxOpenFolders = open;
        EXPECT_EQ(summary(walk(tree.root(), options)), plain);
    }

    for (int stopAfter : {1, 7, 100}) {
        SCOPED_TRACE(stopAfter);
        TWWalkOptions options;
        options.prefetchAttributes = true;
        int visits = 0;
        std::uint64_t sizes = 0;
        bool completed = walkFolder(tree.root(), options, [&](const TWWalkEntry& entry) {
            sizes += entry.stat.size;
            return ++visits == stopAfter ? TWWalkAction::stop : TWWalkAction::enter;
        });
        EXPECT_FALSE(completed);
        EXPECT_EQ(visits, stopAfter);
    }
}
