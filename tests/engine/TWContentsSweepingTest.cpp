#include "engine/TWSearchController.h"

#include "support/TWFixtureTree.h"
#include "support/TWTestSearchHost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace {

// The test thread as main thread: posted work waits until run() drains it.
class Window final : public TWSearchWindow {
public:
    void setStatusFieldText(const TWStatusText& status) override {
        statuses.push_back(status);
        if (onStatus)
            onStatus(status);
    }
    void setStartStopButtonEnabled(bool) override {}
    void searchDidStart() override {}
    void searchDidEnd() override { ended = true; }

    bool sawFormat(const char* format) const {
        return std::any_of(statuses.begin(), statuses.end(),
                           [&](const TWStatusText& s) { return s.format == format; });
    }

    std::vector<TWStatusText> statuses;
    std::function<void(const TWStatusText&)> onStatus;
    bool ended = false;
};

using Groups = std::vector<std::vector<std::string>>;

TWSearchParams contentsParams() { return {{TWParamKey::kContentsMatch, TWParamValue("")}}; }

// One search over the fixture's root; groups come back as sorted lists of relative paths.
struct Search {
    Search(const TWFixtureTree& tree, TWSearchParams params = contentsParams())
        : root(tree.root()) {
        controller = TWSearchController::searchControllerWithStartPaths({root}, params, mainThread);
        controller->setWindow(&window);
    }

    Groups run() {
        controller->startSearch();
        EXPECT_TRUE(mainThread.runUntil([&] { return window.ended; })) << "the search hung";
        Groups groups;
        for (const TWDuplicateGroupRef& group : controller->allGroups()) {
            std::vector<std::string> paths;
            for (const TWFileSystemPathRef& node : group->fsNodes())
                paths.push_back(node->absolutePath().substr(root.size() + 1));
            std::sort(paths.begin(), paths.end());
            groups.push_back(paths);
        }
        std::sort(groups.begin(), groups.end());
        return groups;
    }

    std::string root;
    TWTestMainThread mainThread;
    Window window;
    std::shared_ptr<TWSearchController> controller;
};

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

std::string withByteChanged(std::string bytes, std::size_t position) {
    bytes[position] = static_cast<char>(bytes[position] ^ 0x5a);
    return bytes;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A tree in which every kind of near miss sits beside a true pair; `expected` are its true
// duplicate sets.
struct MixedTree {
    MixedTree() {
        // A word sum gives these the same value.
        tree.file("sum/a", "abcdefgh");
        tree.file("sum/b", "efghabcd");
        // Same size; only the first, a middle or the last byte differs from the pair.
        const std::string base = randomBytes(10000, 1);
        tree.file("bytes/base", base);
        tree.file("bytes/copy", base);
        tree.file("bytes/first", withByteChanged(base, 0));
        tree.file("bytes/middle", withByteChanged(base, 5000));
        tree.file("bytes/last", withByteChanged(base, 9999));
        // The same first and last 4 KiB, different between.
        const std::string head = randomBytes(4096, 2), tail = randomBytes(4096, 3);
        tree.file("edges/a", head + randomBytes(5000, 4) + tail);
        tree.file("edges/b", head + randomBytes(5000, 5) + tail);
        tree.file("edges/c", head + randomBytes(5000, 6) + tail);
        // Three of one size, two of them equal.
        tree.file("three/x", "same bytes!");
        tree.file("three/y", "other bytes");
        tree.file("three/z", "same bytes!");
        // Empty files, and a FIFO that the walk also sizes at 0 bytes: it must not be opened.
        tree.file("empty/e1", "");
        tree.file("empty/e2", "");
        tree.fifo("empty/pipe");
        // Links: equal target texts are equal contents; a file holding that text is not a link.
        tree.symlink("links/l1", "../three/x");
        tree.symlink("links/l2", "../three/x");
        tree.file("links/text", "../three/x");
        // Every stage's edge sizes, each with a copy and a near miss in its last byte.
        for (std::size_t size : {1, 4095, 4096, 4097, 8193, 65536, 65537}) {
            const std::string bytes = randomBytes(size, static_cast<unsigned>(size) + 10);
            const std::string name = "sizes/" + std::to_string(size);
            tree.file(name + "-a", bytes);
            tree.file(name + "-b", bytes);
            tree.file(name + "-near", withByteChanged(bytes, size - 1));
            expected.push_back({name + "-a", name + "-b"});
        }
        expected.push_back({"bytes/base", "bytes/copy"});
        expected.push_back({"empty/e1", "empty/e2"});
        expected.push_back({"links/l1", "links/l2"});
        expected.push_back({"three/x", "three/z"});
        std::sort(expected.begin(), expected.end());
    }

    TWFixtureTree tree;
    Groups expected;
};

TEST(TWContentsSweepingTest, FindsExactlyTheByteIdenticalFiles) {
    MixedTree mixed;
    Search search(mixed.tree);
    EXPECT_EQ(search.run(), mixed.expected);
}

// The same groups whatever the number of readers and the order they read in.
TEST(TWContentsSweepingTest, GroupsDoNotDependOnReadersOrOrder) {
    MixedTree mixed;
    for (unsigned readers : {1u, 2u, 3u, 8u}) {
        for (auto order : {TWContentsReadOrder::folder, TWContentsReadOrder::inode,
                           TWContentsReadOrder::physical, TWContentsReadOrder::listing}) {
            SCOPED_TRACE("readers " + std::to_string(readers) + ", order " +
                         std::to_string(static_cast<int>(order)));
            Search search(mixed.tree);
            TWContentsPassOptions options;
            options.readers = readers;
            options.order = order;
            options.singleReaderOnRotational = readers % 2 == 1;
            options.bufferSize = 4096;
            search.controller->setContentsPassOptions(options);
            EXPECT_EQ(search.run(), mixed.expected);
        }
    }
}

TEST(TWContentsSweepingTest, CandidatesOfDifferentWalkGroupsNeverMeet) {
    TWFixtureTree tree;
    const std::string bytes = randomBytes(6000, 9);
    tree.file("a/one.txt", bytes);
    tree.file("b/two.txt", bytes);
    tree.file("c/one.txt", bytes);
    TWSearchParams params = contentsParams();
    params[TWParamKey::kNamesMatch] = TWParamValue(TWParamKey::kExact);
    Search search(tree, params);
    EXPECT_EQ(search.run(), (Groups{{"a/one.txt", "c/one.txt"}}));
}

// Files that change between the walk and the pass are in no group; the pass reads what is
// there when it runs.
TEST(TWContentsSweepingTest, FilesChangedAfterTheWalkAreInNoGroup) {
    TWFixtureTree tree;
    unsigned seed = 11;
    for (const char* pair : {"kept", "removed", "grown", "replaced", "fifo", "shrunk"}) {
        const std::string bytes = randomBytes(9000, seed++);
        tree.file(std::string(pair) + "/a", bytes);
        tree.file(std::string(pair) + "/b", bytes);
    }
    tree.file("small/a", "tiny");
    tree.file("small/b", "tiny");
    Search search(tree);
    search.window.onStatus = [&](const TWStatusText& status) {
        // Posted by the worker right before the pass; it waits until this has run.
        if (status.format != TWStatusFormat::kCleaningUp)
            return;
        std::remove(tree.path("removed/a").c_str());
        std::ofstream(tree.path("grown/a"), std::ios::app) << "!";
        // Another file with the very same bytes, moved over the one the walk saw.
        std::string other = tree.file("elsewhere/replacement", readWhole(tree.path("replaced/b")));
        std::rename(other.c_str(), tree.path("replaced/a").c_str());
        std::remove(tree.path("fifo/a").c_str());
        tree.fifo("fifo/a");
        std::ofstream(tree.path("shrunk/a"), std::ios::trunc) << "short";
        std::remove(tree.path("small/a").c_str());
    };
    EXPECT_EQ(search.run(), (Groups{{"kept/a", "kept/b"}}));
}

// With every periodic check due, the pass shows its lines: the first one, then the first
// candidate's number and the number of candidates.
TEST(TWContentsSweepingTest, ShowsItsProgressLines) {
    MixedTree mixed;
    Search search(mixed.tree);
    std::uint64_t ticks = 0;
    search.controller->setClock([&ticks] { return ticks += 100; });
    search.run();
    const auto& statuses = search.window.statuses;
    auto finding = std::find_if(statuses.begin(), statuses.end(), [](const TWStatusText& s) {
        return s.format == TWStatusFormat::kFindingContentMatches;
    });
    ASSERT_NE(finding, statuses.end());
    ASSERT_NE(finding + 1, statuses.end());
    EXPECT_EQ(finding[1].format, TWStatusFormat::kCheckingFile);
    // Candidates: every file of a walk group, the FIFO and the lone-kind link included.
    EXPECT_EQ(finding[1].arguments.front(), TWStatusText::Argument(std::int64_t(1)));
}

TEST(TWContentsSweepingTest, StopAtTheStartOfThePassPublishesNothing) {
    MixedTree mixed;
    Search search(mixed.tree);
    std::uint64_t ticks = 0;
    search.controller->setClock([&ticks] { return ticks += 100; });
    search.window.onStatus = [&](const TWStatusText& status) {
        if (status.format == TWStatusFormat::kFindingContentMatches)
            search.controller->startStopButtonAction();
    };
    EXPECT_EQ(search.run(), Groups());
    EXPECT_FALSE(search.window.sawFormat(TWStatusFormat::kCheckingFile));
}

// A stop during the walk ends the walk; the pass still confirms what the walk found.
TEST(TWContentsSweepingTest, StopDuringTheWalkStillConfirmsItsCandidates) {
    MixedTree mixed;
    Search search(mixed.tree);
    search.window.onStatus = [&](const TWStatusText& status) {
        if (status.format == TWStatusFormat::kCleaningUp)
            search.controller->startStopButtonAction();
    };
    EXPECT_EQ(search.run(), mixed.expected);
}

// A stop in the middle of the pass ends it at its next check, even inside a long read, and
// publishes only what was confirmed by then.
TEST(TWContentsSweepingTest, StopDuringThePassPublishesOnlyConfirmedGroups) {
    TWFixtureTree tree;
    tree.file("small/a", "small pair");
    tree.file("small/b", "small pair");
    // Two equal sparse files of 16 GiB: reading them whole would take many seconds.
    for (const char* name : {"sparse/a", "sparse/b"})
        ASSERT_EQ(::truncate(tree.file(name).c_str(), std::int64_t(16) << 30), 0);
    Search search(tree);
    std::uint64_t ticks = 0;
    search.controller->setClock([&ticks] { return ticks += 100; });
    search.window.onStatus = [&](const TWStatusText& status) {
        if (status.format == TWStatusFormat::kCheckingFile)
            search.controller->startStopButtonAction();
    };
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(search.run(), (Groups{{"small/a", "small/b"}}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(TWContentsSweepingTest, ResourceForksMustAgreeWhenExamined) {
    TWFixtureTree tree;
    if (!tree.supportsUserAttributes())
        GTEST_SKIP() << "no user extended attributes here";
    for (const char* name : {"a", "b", "c", "plain1", "plain2"})
        tree.file(name, "same data");
    tree.setAttribute("a", "user.com.apple.ResourceFork", "fork one");
    tree.setAttribute("b", "user.com.apple.ResourceFork", "fork one");
    tree.setAttribute("c", "user.com.apple.ResourceFork", "fork two");

    Search withForks(tree, {{TWParamKey::kContentsMatch, TWParamValue("")},
                            {TWParamKey::kExamineResourceForks, TWParamValue("")}});
    EXPECT_EQ(withForks.run(), (Groups{{"a", "b"}, {"plain1", "plain2"}}));
    Search withoutForks(tree);
    EXPECT_EQ(withoutForks.run(), (Groups{{"a", "b", "c", "plain1", "plain2"}}));
}

TEST(TWContentsSweepingTest, PackagesAreEqualWhenTheirFilesAndPathsAre) {
    TWFixtureTree tree;
    const std::string binary = randomBytes(20000, 21);
    for (const char* package : {"A.app", "B.app"}) {
        tree.file(std::string(package) + "/Contents/Info.plist", "plist");
        tree.file(std::string(package) + "/Contents/MacOS/run", binary);
    }
    // The same files under another name: the same total size, not the same package.
    tree.file("C.app/Contents/Info.plist", "plist");
    tree.file("C.app/Contents/MacOS/walk", binary);
    Search search(tree, {{TWParamKey::kContentsMatch, TWParamValue("")},
                         {TWParamKey::kPackageContentsFilter, TWParamValue("")}});
    EXPECT_EQ(search.run(), (Groups{{"A.app", "B.app"}}));
}

} // namespace
