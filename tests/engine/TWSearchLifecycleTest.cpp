// The life of a search: start, progress, stop, finish, run again; several at once.
#include "engine/TWSearchController.h"
#include "support/TWFixtureTree.h"
#include "support/TWTestSearchHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<TWStatusText::Argument>;

TWStatusText progress(std::uint64_t files, std::uint64_t groups) {
    return {TWStatusFormat::kFoundMatches, {files, groups}};
}

TWStatusText summary(std::int64_t files, std::int64_t groups, std::string size) {
    return {TWStatusFormat::kFoundSummary, {files, groups, std::move(size)}};
}

// A clock that moves on by one tick at every reading, starting at 1000. Its first reading
// (at the start of the worker) waits until the test lets it go, so that the test can act on
// the controller while the worker has not yet walked anything.
class SteppingClock {
public:
    SteppingClock() : released_(gate_.get_future().share()) {}

    TWSearchController::Clock clock() {
        return [this] {
            std::uint64_t reading = 1000 + readings_++;
            if (reading == 1000)
                released_.wait();
            return reading;
        };
    }
    void release() { gate_.set_value(); }

private:
    std::promise<void> gate_;
    std::shared_future<void> released_;
    std::atomic<std::uint64_t> readings_{0};
};

// One folder of 100 files of one byte each: with sizes matched, each file visited joins the
// one group, so the file count tells how many files the walk recorded.
class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 100; ++i)
            tree.file("flat/file" + std::to_string(i), "x");
    }

    TWFixtureTree tree;
};

TEST_F(LifecycleTest, ProgressEvery12TicksAfterTheFirst50) {
    TWTestSearch search({tree.path("flat")}, {{"TWSizesMatch", ""}});
    SteppingClock clock;
    search.controller->setClock(clock.clock());
    clock.release();
    ASSERT_TRUE(search.run());

    // The start folder reads 1001 and the files 1002 to 1101. The first check is due after
    // 1050, so it comes at the visit reading 1051, with the 49 files before it counted; the
    // next ones 12 ticks after each.
    const std::vector<TWStatusText> expected = {
        {TWStatusFormat::kSearching, {}},
        progress(49, 1),
        progress(62, 1),
        progress(75, 1),
        progress(88, 1),
        {TWStatusFormat::kCleaningUp, {}},
        summary(100, 1, "100 bytes"),
    };
    EXPECT_EQ(search.window.statuses, expected);
    EXPECT_EQ(search.window.events, (std::vector<std::string>{"start", "end"}));
    EXPECT_EQ(search.window.statuses.back().text(), "Found 100 files in 1 matching groups (100 bytes).");
    EXPECT_EQ(search.window.statuses[1].text(), "Found 49 matches in 1 groups...");
    EXPECT_TRUE(search.controller->finishedSearch());
}

TEST_F(LifecycleTest, StopBeforeTheFirstCheckTakesEffectAtTheFirstVisitAfter50Ticks) {
    TWTestSearch search({tree.path("flat")}, {{"TWSizesMatch", ""}});
    SteppingClock clock;
    search.controller->setClock(clock.clock());
    search.controller->startSearch();
    EXPECT_FALSE(search.controller->finishedSearch());
    search.controller->startStopButtonAction(); // before the worker's first tick
    EXPECT_TRUE(search.controller->finishedSearch());
    clock.release();
    ASSERT_TRUE(search.mainThread.runUntil([&] { return search.window.ends == 1; }));

    EXPECT_EQ(search.window.events, (std::vector<std::string>{"start", "button off", "end"}));
    // No progress line: the check that saw the stop posted nothing.
    const std::vector<TWStatusText> expected = {
        {TWStatusFormat::kSearching, {}},
        {TWStatusFormat::kCleaningUp, {}},
        summary(49, 1, "49 bytes"),
    };
    EXPECT_EQ(search.window.statuses, expected);
    EXPECT_EQ(search.controller->itemCount(), 49u);

    // From Finished the button runs the whole search again.
    search.controller->setClock([] { return std::uint64_t{0}; });
    search.controller->startStopButtonAction();
    ASSERT_TRUE(search.mainThread.runUntil([&] { return search.window.ends == 2; }));
    EXPECT_EQ(search.window.starts, 2);
    EXPECT_EQ(search.controller->itemCount(), 100u);
    EXPECT_EQ(search.window.statuses.back(), summary(100, 1, "100 bytes"));
}

TEST_F(LifecycleTest, SummaryFiguresAndOrder) {
    tree.fileOfSize("g/a/photo.jpg", 10);
    tree.fileOfSize("g/b/photo.png", 30);
    tree.fileOfSize("g/c/photo.gif", 20);
    tree.fileOfSize("g/x/doc", 100);
    tree.fileOfSize("g/y/doc", 100);
    tree.fileOfSize("g/z/single", 1000);
    TWTestSearch search({tree.path("g")}, {{"TWNamesMatch", "TWExact"}});
    EXPECT_EQ(search.controller->groupCount(), 0u);
    EXPECT_EQ(search.controller->sizeString(), "0 bytes");
    ASSERT_TRUE(search.run());

    EXPECT_EQ(search.groupPaths(),
              (std::vector<std::vector<std::string>>{
                  {tree.path("g/x/doc"), tree.path("g/y/doc")},
                  {tree.path("g/b/photo.png"), tree.path("g/c/photo.gif"),
                   tree.path("g/a/photo.jpg")}}));
    EXPECT_EQ(search.controller->groupCount(), 2u);
    EXPECT_EQ(search.controller->itemCount(), 5u);
    EXPECT_EQ(search.controller->size(), 260u);
    EXPECT_EQ(search.controller->sizeString(), "260 bytes");
    EXPECT_EQ(search.window.statuses.back(), summary(5, 2, "260 bytes"));
    EXPECT_EQ(search.window.statuses.back().text(), "Found 5 files in 2 matching groups (260 bytes).");
}

TEST_F(LifecycleTest, SecondRunFromFinishedFindsTheSameAgain) {
    tree.file("twice/a/f", "same");
    tree.file("twice/b/f", "same");
    TWTestSearch search({tree.path("twice")}, {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}});
    ASSERT_TRUE(search.run());
    auto first = search.controller->allGroups();
    ASSERT_EQ(first.size(), 1u);

    search.controller->startStopButtonAction();
    ASSERT_TRUE(search.mainThread.runUntil([&] { return search.window.ends == 2; }));
    ASSERT_EQ(search.controller->allGroups().size(), 1u);
    EXPECT_NE(search.controller->allGroups()[0], first[0]); // a new result, not the old one
    EXPECT_EQ(search.groupPaths()[0].size(), 2u);
    EXPECT_EQ(search.window.events,
              (std::vector<std::string>{"start", "end", "start", "end"}));
}

TEST_F(LifecycleTest, EmptyStartListAndMissingStartPathFinishWithNothing) {
    for (const std::vector<std::string>& starts :
         {std::vector<std::string>{}, std::vector<std::string>{tree.path("missing")}}) {
        SCOPED_TRACE(starts.size());
        TWTestSearch search(starts, {{"TWSizesMatch", ""}});
        ASSERT_TRUE(search.run());
        EXPECT_TRUE(search.controller->allGroups().empty());
        EXPECT_EQ(search.window.statuses.back(), summary(0, 0, "0 bytes"));
        EXPECT_EQ(search.window.statuses.back().text(), "Found 0 files in 0 matching groups (0 bytes).");
    }
}

TEST_F(LifecycleTest, TildeStartPathIsTheHomeFolder) {
    tree.file("home/a/f", "same");
    tree.file("home/b/f", "same");
    TWScopedEnvironment home("HOME", tree.path("home"));
    TWTestSearch search({"~"}, {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}});
    ASSERT_EQ(search.controller->startPaths().size(), 1u);
    EXPECT_EQ(search.controller->startPaths()[0]->absolutePath(), tree.path("home"));
    ASSERT_TRUE(search.run());
    EXPECT_EQ(search.controller->groupCount(), 1u);
}

TEST(SearchLifecycle, TwoSearchesAtOnceOnDifferentTrees) {
    TWFixtureTree left, right;
    for (int i = 0; i < 300; ++i) {
        std::string name = "f" + std::to_string(i);
        left.file("a/" + name, "left");
        left.file("b/" + name, "left");
        right.fileOfSize("x/" + name, 7);
        right.fileOfSize("y/" + name, 7);
        right.fileOfSize("z/" + name, 7);
    }
    TWTestMainThread mainThread;
    TWRecordingSearchWindow leftWindow, rightWindow;
    TWSearchParams params = {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}};
    auto leftSearch =
        TWSearchController::searchControllerWithStartPaths({left.root()}, params, mainThread);
    auto rightSearch =
        TWSearchController::searchControllerWithStartPaths({right.root()}, params, mainThread);
    leftSearch->setWindow(&leftWindow);
    rightSearch->setWindow(&rightWindow);
    leftSearch->startSearch();
    rightSearch->startSearch();
    ASSERT_TRUE(mainThread.runUntil([&] { return leftWindow.ends == 1 && rightWindow.ends == 1; }));

    EXPECT_EQ(leftSearch->groupCount(), 300u);
    EXPECT_EQ(leftSearch->itemCount(), 600u);
    EXPECT_EQ(rightSearch->groupCount(), 300u);
    EXPECT_EQ(rightSearch->itemCount(), 900u);
    for (const auto& group : leftSearch->allGroups())
        for (const auto& node : group->fsNodes())
            EXPECT_EQ(node->absolutePath().compare(0, left.root().size(), left.root()), 0);
    EXPECT_EQ(leftWindow.statuses.back(), summary(600, 300, "2.34kb"));
    EXPECT_EQ(rightWindow.statuses.back(), summary(900, 300, "6.15kb"));
}

} // namespace
