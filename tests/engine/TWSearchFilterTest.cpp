// The search's decisions about single nodes: the filter that says whether a node is entered,
// recorded or skipped, the match key, and the start list.
#include "engine/TWSearchController.h"
#include "engine/TWSimilarName.h"
#include "platform/TWFinderInfo.h"
#include "platform/TWFolderListing.h"
#include "support/TWFixtureTree.h"
#include "support/TWTestSearchHost.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

using List = TWParamValue::List;

struct FilterCase {
    const char* relative;
    bool process;
    bool isDirectory = false; // checked only when the node is processed
};

class SearchNodeTest : public ::testing::Test {
protected:
    std::shared_ptr<TWSearchController> controllerWith(const TWSearchParams& params) {
        return TWSearchController::searchControllerWithStartPaths({}, params, mainThread);
    }

    TWFileSystemPathRef node(const std::string& relative) {
        return TWFileSystemPath::initWithAbsolutePath(tree.path(relative));
    }

    struct Decision {
        bool process;
        bool isDirectory;
    };
    Decision decide(TWSearchController& controller, const std::string& relative) {
        bool isDirectory = false;
        bool process = controller.shouldProcessNode(*node(relative), isDirectory);
        return {process, isDirectory};
    }

    void expectDecisions(const std::shared_ptr<TWSearchController>& controller,
                         std::initializer_list<FilterCase> cases) {
        for (const FilterCase& c : cases) {
            SCOPED_TRACE(c.relative);
            Decision decision = decide(*controller, c.relative);
            EXPECT_EQ(decision.process, c.process);
            if (decision.process) {
                EXPECT_EQ(decision.isDirectory, c.isDirectory);
            }
        }
    }

    bool attributes() {
        if (!tree.supportsUserAttributes()) {
            ADD_FAILURE() << "this test needs user extended attributes";
            return false;
        }
        return true;
    }

    TWFixtureTree tree;
    TWTestMainThread mainThread;
};

TEST_F(SearchNodeTest, UnreadableNodesFail) {
    tree.file("plain", "x");
    tree.symlink("dangling", "nowhere");
    tree.symlink("toPlain", "plain");
    tree.folder("folder");
    auto controller = controllerWith({});
    expectDecisions(controller, {{"plain", true}, {"dangling", false}, {"toPlain", true},
                                  {"missing", false}, {"folder", true, true}});
    if (::geteuid() != 0) {
        std::string locked = tree.file("locked", "x");
        ::chmod(locked.c_str(), 0);
        expectDecisions(controller, {{"locked", false}});
    }
}

// "/Network" and "/Volumes" are never entered, but only as those exact folder paths. The
// nodes here are made as a walk makes them, named as if in "/", while the walk folder through
// which they are examined is a fixture folder.
TEST_F(SearchNodeTest, NetworkAndVolumesOnlyAsExactFolderPaths) {
    struct ExcludedCase {
        const char* folderPath; // the path the walk folder stands for
        const char* name;
        bool isFolder;
        bool process;
    };
    const ExcludedCase cases[] = {
        {"/", "Network", true, false},   {"/", "Volumes", true, false},
        {"/", "Network", false, true},   {"/", "Volumes", false, true},
        {"/", "network", true, true},    {"/", "Networks", true, true},
        {"/", "work", true, true},       {"/Volumes", "Disk", true, true},
        {"/home", "Network", true, true}, {"/Volumes", "Volumes", true, true},
    };
    auto controller = controllerWith({});
    int index = 0;
    for (const ExcludedCase& c : cases) {
        SCOPED_TRACE(std::string(c.folderPath) + " + " + c.name);
        std::string holder = "case" + std::to_string(index++);
        std::string relative = holder + "/" + c.name;
        if (c.isFolder)
            tree.folder(relative);
        else
            tree.file(relative, "x");
        int fd = ::open(tree.path(holder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        auto listing = TWFolderListing::read(fd, TWPathChain::root(c.folderPath), false);
        ASSERT_TRUE(listing);
        auto stat = TWStatSnapshot::of(listing->locationOf(c.name));
        ASSERT_TRUE(stat);
        TWFileSystemPath walked(listing->path(), c.name, *stat);
        walked.setWalkFolder(listing.get());
        bool isDirectory = false;
        EXPECT_EQ(controller->shouldProcessNode(walked, isDirectory), c.process);
        if (c.process) {
            EXPECT_EQ(isDirectory, c.isFolder);
        }
        walked.setWalkFolder(nullptr);
        ::close(fd);
    }
}

TEST_F(SearchNodeTest, InvisiblesByPeriodHiddenListAndFinderFlag) {
    tree.file("d/shown", "x");
    tree.file("d/.dotted", "x");
    tree.folder("d/.dottedFolder");
    tree.file("d/listed", "x");
    tree.file("d/.hidden", "listed\n");
    tree.file("d/flagged", "x");
    if (!attributes())
        return;
    ASSERT_TRUE(tree.setFinderInfo("d/flagged", "TEXT", "ttxt", TWFinderInfo::kIsInvisible));
    tree.file("d/companionFlagged", "x");
    tree.appleDouble("d/companionFlagged", "TEXT", "ttxt", TWFinderInfo::kIsInvisible);

    auto ignoring = controllerWith({{"TWInvisiblesFilter", ""}});
    expectDecisions(ignoring, {{"d/shown", true},
                                {"d/.dotted", false},
                                {"d/.dottedFolder", false},
                                {"d/listed", false},
                                {"d/flagged", false},
                                {"d/companionFlagged", false}});
    auto keeping = controllerWith({});
    expectDecisions(keeping, {{"d/.dotted", true},
                               {"d/.dottedFolder", true, true},
                               {"d/listed", true},
                               {"d/flagged", true},
                               {"d/companionFlagged", true}});
}

TEST_F(SearchNodeTest, LinksAndAliases) {
    tree.file("plain", "x");
    tree.folder("folder");
    tree.symlink("toPlain", "plain");
    tree.symlink("toFolder", "folder");
    tree.file("alias", "x");
    if (!attributes())
        return;
    ASSERT_TRUE(tree.setFinderInfo("alias", "fdrp", "MACS", TWFinderInfo::kIsAlias));

    auto filtering = controllerWith({{"TWSymLinkAliasFilter", ""}});
    expectDecisions(filtering, {{"plain", true},
                                 {"folder", true, true},
                                 {"toPlain", false},
                                 {"toFolder", false},
                                 {"alias", false}});
    auto keeping = controllerWith({});
    // A link to a folder is no folder: it is recorded like a file, never entered.
    expectDecisions(keeping, {{"toPlain", true}, {"toFolder", true, false}, {"alias", true}});
}

TEST_F(SearchNodeTest, PackagesAsFilesWithTheirFolderSize) {
    tree.fileOfSize("Thing.app/Contents/payload", 10000);
    tree.fileOfSize("Plain/payload", 10000);
    tree.fileOfSize("Bundle/Contents/Info.plist", 10);
    tree.fileOfSize("small", 5000);

    auto atLeast = controllerWith({{"TWPackageContentsFilter", ""},
                                   {"TWSizeFilter", List{"TWLessThan", 9000}}});
    expectDecisions(atLeast, {{"Thing.app", true, false},
                               {"Bundle", false}, // its total is below the bound
                               {"Plain", true, true},
                               {"small", false}});
    auto atMost = controllerWith({{"TWPackageContentsFilter", ""},
                                  {"TWSizeFilter", List{"TWGreaterThan", 5000}}});
    expectDecisions(atMost, {{"Thing.app", false},
                              {"Bundle", false}, // 10 bytes inside, two folders around them
                              {"Plain", true, true},
                              {"small", true}});
    auto entering = controllerWith({{"TWSizeFilter", List{"TWGreaterThan", 5000}}});
    expectDecisions(entering, {{"Thing.app", true, true}, {"Bundle", true, true}});
}

TEST_F(SearchNodeTest, SizeBoundsLetEqualSizesPass) {
    tree.fileOfSize("s99", 99);
    tree.fileOfSize("s100", 100);
    tree.fileOfSize("s101", 101);
    auto minimum = controllerWith({{"TWSizeFilter", List{"TWLessThan", 100}}});
    expectDecisions(minimum, {{"s99", false}, {"s100", true}, {"s101", true}});
    auto maximum = controllerWith({{"TWSizeFilter", List{"TWGreaterThan", 100}}});
    expectDecisions(maximum, {{"s99", true}, {"s100", true}, {"s101", false}});
    auto both = controllerWith({{"TWSizeFilter", List{"TWLessThan", 100, "TWGreaterThan", 100}}});
    expectDecisions(both, {{"s99", false}, {"s100", true}, {"s101", false}});

    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    ASSERT_EQ(::truncate(tree.file("exactly5g").c_str(), kFiveGiB), 0);
    ASSERT_EQ(::truncate(tree.file("over5g").c_str(), kFiveGiB + 1), 0);
    auto large = controllerWith({{"TWSizeFilter", List{"TWGreaterThan", kFiveGiB}}});
    expectDecisions(large, {{"exactly5g", true}, {"over5g", false}, {"s101", true}});
}

TEST_F(SearchNodeTest, ExtensionListComparesExactly) {
    for (const char* name : {"photo.jpg", "PHOTO.JPG", "photo.png", "noext", "x..jpg"})
        tree.file(name, "x");
    auto capitals = controllerWith({{"TWExtensionFilter", List{"TWInclude", List{"JPG"}}}});
    expectDecisions(capitals, {{"photo.jpg", false}, {"PHOTO.JPG", true}, {"noext", false}});
    auto lower = controllerWith({{"TWExtensionFilter", List{"TWInclude", List{"jpg"}}}});
    expectDecisions(lower, {{"photo.jpg", true},
                             {"PHOTO.JPG", false},
                             {"photo.png", false},
                             {"noext", false},
                             {"x..jpg", true}});
    auto dotted = controllerWith({{"TWExtensionFilter", List{"TWInclude", List{".jpg"}}}});
    expectDecisions(dotted, {{"photo.jpg", false}, {"PHOTO.JPG", false}, {"x..jpg", false},
                              {"noext", false}});
    auto excluding = controllerWith({{"TWExtensionFilter", List{"TWExclude", List{"jpg"}}}});
    expectDecisions(excluding, {{"photo.jpg", false}, {"photo.png", true}, {"noext", true}});
    // Folders are never subject to the list.
    tree.folder("pictures");
    expectDecisions(lower, {{"pictures", true, true}});
}

TEST_F(SearchNodeTest, TypeAndCreatorLists) {
    tree.file("text", "x");
    tree.file("pict", "x");
    tree.file("none", "x");
    if (!attributes())
        return;
    ASSERT_TRUE(tree.setFinderInfo("text", "TEXT", "ttxt"));
    tree.appleDouble("pict", "PICT", "8BIM", 0);

    auto types = controllerWith({{"TWHFSTypeFilter", List{"TWInclude", List{"TEXT"}}}});
    expectDecisions(types, {{"text", true}, {"pict", false}, {"none", false}});
    auto notTypes = controllerWith({{"TWHFSTypeFilter", List{"TWExclude", List{"'TEXT'"}}}});
    expectDecisions(notTypes, {{"text", false}, {"pict", true}, {"none", true}});
    auto creators = controllerWith({{"TWHFSCreatorFilter", List{"TWInclude", List{"8BIM"}}}});
    expectDecisions(creators, {{"text", false}, {"pict", true}, {"none", false}});
    auto notCreators =
        controllerWith({{"TWHFSCreatorFilter", List{"TWExclude", List{"ttxt", "8BIM"}}}});
    expectDecisions(notCreators, {{"text", false}, {"pict", false}, {"none", true}});
}

// ---- Match keys ----

class MatchKeyTest : public SearchNodeTest {
protected:
    std::string keyOf(const TWSearchParams& params, const std::string& relative) {
        return controllerWith(params)->allocedKeyForPath(*node(relative));
    }

    void setModifiedExactly(const std::string& relative, std::int64_t seconds, long nanoseconds) {
        struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, tree.path(relative).c_str(), times, 0), 0);
    }
};

TEST_F(MatchKeyTest, ComponentsPerCriterion) {
    tree.fileOfSize("photo.JPG", 5);
    tree.setModified("photo.JPG", 1'000'000'000);
    tree.fileOfSize("123 456.txt", 3);
    tree.fileOfSize("plain", 2);
    tree.file("coded.txt", "x");
    if (!attributes())
        return;
    ASSERT_TRUE(tree.setFinderInfo("coded.txt", "TEXT", "ttxt"));
    tree.appleDouble("coded.txt", "", "", 0, "abc"); // a resource fork of 3 bytes
    tree.setModified("coded.txt", 1'234'567'890);

    struct KeyCase {
        const char* label;
        TWSearchParams params;
        const char* relative;
        std::string key;
    };
    const KeyCase cases[] = {
        {"exact name", {{"TWNamesMatch", "TWExact"}}, "photo.JPG", "photo/"},
        {"similar name", {{"TWNamesMatch", "TWSimilar"}}, "photo.JPG",
         similarNameForName("photo") + "/"},
        {"similar form empty: plain name", {{"TWNamesMatch", "TWSimilar"}}, "123 456.txt",
         "123 456"},
        {"similar form empty with a size", {{"TWNamesMatch", "TWSimilar"}, {"TWSizesMatch", ""}},
         "123 456.txt", "s=3"},
        {"size", {{"TWSizesMatch", ""}}, "photo.JPG", "s=5"},
        {"contents gives the size", {{"TWContentsMatch", ""}}, "photo.JPG", "s=5"},
        {"empty resource fork", {{"TWSizesMatch", ""}, {"TWExamineResourceForks", ""}},
         "photo.JPG", "s=5rs=0"},
        {"resource fork from companion", {{"TWSizesMatch", ""}, {"TWExamineResourceForks", ""}},
         "coded.txt", "s=1rs=3"},
        {"resource fork needs the size", {{"TWExamineResourceForks", ""}}, "coded.txt", ""},
        {"modified to the second", {{"TWModifiedMatch", ""}}, "photo.JPG", "m=1000000000"},
        {"type code", {{"TWHFSTypeMatch", ""}}, "coded.txt", "t='TEXT'"},
        {"creator code", {{"TWHFSCreatorMatch", ""}}, "coded.txt", "k='ttxt'"},
        {"no type code: no key", {{"TWHFSTypeMatch", ""}}, "photo.JPG", ""},
        {"no codes: no key", {{"TWHFSTypeMatch", ""}, {"TWHFSCreatorMatch", ""}}, "plain", ""},
        {"extension lower-cased", {{"TWExtensionMatch", ""}}, "photo.JPG", ".jpg"},
        {"no extension", {{"TWExtensionMatch", ""}}, "plain", "."},
        {"all in order",
         {{"TWNamesMatch", "TWExact"},
          {"TWSizesMatch", ""},
          {"TWExamineResourceForks", ""},
          {"TWModifiedMatch", ""},
          {"TWHFSTypeMatch", ""},
          {"TWHFSCreatorMatch", ""},
          {"TWExtensionMatch", ""}},
         "coded.txt",
         "coded/s=1rs=3m=1234567890t='TEXT'k='ttxt'.txt"},
        {"nothing asked", {}, "photo.JPG", ""},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(keyOf(c.params, c.relative), c.key);
    }
}

TEST_F(MatchKeyTest, CreationDateOrItsMarker) {
    tree.file("f", "x");
    struct statx sx;
    ASSERT_EQ(::statx(AT_FDCWD, tree.path("f").c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx), 0);
    std::string expected = (sx.stx_mask & STATX_BTIME)
                               ? "b=" + std::to_string(sx.stx_btime.tv_sec)
                               : std::string("b=-");
    EXPECT_EQ(keyOf({{"TWCreatedMatch", ""}}, "f"), expected);
    // A node without attributes has no date: the marker, which no real date gives.
    EXPECT_EQ(keyOf({{"TWCreatedMatch", ""}, {"TWModifiedMatch", ""}}, "missing"), "b=-m=-");
}

TEST_F(MatchKeyTest, DatesCompareByWholeSeconds) {
    for (const char* name : {"early", "late", "nextSecond"})
        tree.file(name, "x");
    setModifiedExactly("early", 1'500'000'000, 1);
    setModifiedExactly("late", 1'500'000'000, 999'999'999);
    setModifiedExactly("nextSecond", 1'500'000'001, 0);
    TWSearchParams modified = {{"TWModifiedMatch", ""}};
    EXPECT_EQ(keyOf(modified, "early"), keyOf(modified, "late"));
    EXPECT_NE(keyOf(modified, "late"), keyOf(modified, "nextSecond"));
    setModifiedExactly("early", -1, 500'000'000); // before 1970: still its own second
    EXPECT_EQ(keyOf(modified, "early"), "m=-1");
}

TEST_F(MatchKeyTest, ComponentsNeverRunIntoEachOther) {
    for (const char* name : {"typeOnly", "creatorOnly", "ab", "a"})
        tree.file(name, "x");
    if (!attributes())
        return;
    ASSERT_TRUE(tree.setFinderInfo("typeOnly", "ABCD", ""));
    ASSERT_TRUE(tree.setFinderInfo("creatorOnly", "", "ABCD"));
    TWSearchParams codes = {{"TWHFSTypeMatch", ""}, {"TWHFSCreatorMatch", ""}};
    EXPECT_NE(keyOf(codes, "typeOnly"), keyOf(codes, "creatorOnly"));
    EXPECT_EQ(keyOf(codes, "typeOnly"), "t='ABCD'");
    EXPECT_EQ(keyOf(codes, "creatorOnly"), "k='ABCD'");

    // A name followed by a size: "a" of 11 bytes and "a1" of 1 byte must differ.
    tree.fileOfSize("x/a", 11);
    tree.fileOfSize("y/a1", 1);
    TWSearchParams nameAndSize = {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}};
    EXPECT_NE(keyOf(nameAndSize, "x/a"), keyOf(nameAndSize, "y/a1"));
}

TEST_F(MatchKeyTest, ExactNamesAreCaseSensitiveAndIgnoreTheExtension) {
    for (const char* name : {"Photo.jpg", "Photo.png", "photo.jpg"})
        tree.file(name, "x");
    TWSearchParams names = {{"TWNamesMatch", "TWExact"}};
    EXPECT_EQ(keyOf(names, "Photo.jpg"), keyOf(names, "Photo.png"));
    EXPECT_NE(keyOf(names, "Photo.jpg"), keyOf(names, "photo.jpg"));
    TWSearchParams withExtension = {{"TWNamesMatch", "TWExact"}, {"TWExtensionMatch", ""}};
    EXPECT_NE(keyOf(withExtension, "Photo.jpg"), keyOf(withExtension, "Photo.png"));
}

// ---- Start list ----

TEST_F(SearchNodeTest, StartPathsAreStandardisedResolvedAndNotNested) {
    std::string root = tree.root();
    tree.folder("top/a/b");
    tree.folder("top/ab");
    tree.folder("real/inner");
    tree.symlink("link", "real");
    tree.symlink("fileLink", "top/file");
    tree.file("top/file", "x");
    TWScopedEnvironment home("HOME", tree.path("top"));

    struct StartCase {
        const char* label;
        std::vector<std::string> given;
        std::vector<std::string> expected;
    };
    const StartCase cases[] = {
        {"redundant parts", {root + "/top/./a//b/"}, {root + "/top/a/b"}},
        {"dot-dot", {root + "/top/a/../ab"}, {root + "/top/ab"}},
        {"tilde", {"~/a"}, {root + "/top/a"}},
        {"tilde alone", {"~"}, {root + "/top"}},
        {"inner after outer dropped", {root + "/top", root + "/top/a/b"}, {root + "/top"}},
        {"inner before outer dropped", {root + "/top/a", root + "/top"}, {root + "/top"}},
        {"shared prefix is no nesting", {root + "/top/a", root + "/top/ab"},
         {root + "/top/a", root + "/top/ab"}},
        {"repeated once kept", {root + "/top", root + "/top/", "~"}, {root + "/top"}},
        {"link to a folder resolved", {root + "/link"}, {root + "/real"}},
        {"link above the start path kept", {root + "/link/inner"}, {root + "/link/inner"}},
        {"link and its target", {root + "/link", root + "/real/inner"}, {root + "/real"}},
        {"link to a file kept", {root + "/fileLink"}, {root + "/fileLink"}},
        {"the root twice", {"/", "/"}, {"/"}},
        {"the root covers all", {root + "/top", "/"}, {"/"}},
        {"missing path kept", {root + "/missing/.."}, {root}},
        {"nothing", {}, {}},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TWSearchController::standardizedStartPaths(c.given), c.expected);
    }
}

TEST_F(SearchNodeTest, RelativeStartPathIsMadeAbsolute) {
    tree.folder("here/sub");
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(tree.path("here").c_str()), 0);
    auto paths = TWSearchController::standardizedStartPaths({"sub", "./sub/../sub"});
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(paths, std::vector<std::string>{tree.path("here/sub")});
}

} // namespace
