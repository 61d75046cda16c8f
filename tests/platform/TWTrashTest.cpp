#include "platform/TWTrash.h"

#include "support/TWFixtureTree.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

mode_t permissionsOf(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return 0;
    return status.st_mode & 07777;
}

ino_t inodeOf(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return 0;
    return status.st_ino;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string realPathOf(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    std::string result = resolved ? resolved : "";
    std::free(resolved);
    return result;
}

std::string baseName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string uidText() {
    return std::to_string(::geteuid());
}

struct InfoFile {
    std::vector<std::string> lines;
    std::string pathValue() const { return valueOf("Path="); }
    std::string deletionDate() const { return valueOf("DeletionDate="); }
    std::string valueOf(const std::string& key) const {
        for (const std::string& line : lines)
            if (line.rfind(key, 0) == 0)
                return line.substr(key.size());
        return "<missing>";
    }
};

InfoFile readInfo(const std::string& path) {
    InfoFile info;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);)
        info.lines.push_back(line);
    return info;
}

// Paths that the tests build expected Path= values from must not need escaping themselves.
bool needsNoEscaping(const std::string& path) {
    return std::all_of(path.begin(), path.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '-' || c == '_' ||
               c == '.';
    });
}

// A tmpfs mounted on an existing folder for the life of the object, when this process may.
class TWScopedMount {
public:
    explicit TWScopedMount(std::string folder, const char* source = "tmpfs",
                           const char* type = "tmpfs", unsigned long flags = 0,
                           const char* options = "size=4m")
        : folder_(std::move(folder)) {
        mounted_ = ::mount(source, folder_.c_str(), type, flags, options) == 0;
    }
    ~TWScopedMount() {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    TWScopedMount(const TWScopedMount&) = delete;
    TWScopedMount& operator=(const TWScopedMount&) = delete;

    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m") == 0;
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

class TWTrashTest : public ::testing::Test {
protected:
    TWFixtureTree home;
    TWFixtureTree tree;
    TWScopedEnvironment homeVariable{"HOME", home.root()};
    TWScopedEnvironment dataHome{"XDG_DATA_HOME", home.path("data")};
    TWFreedesktopTrash trash;

    std::string trashRoot() const { return home.path("data/Trash"); }
    std::string filesFolder() const { return trashRoot() + "/files"; }
    std::string infoFolder() const { return trashRoot() + "/info"; }
    std::string infoFileFor(const std::string& trashedPath) const {
        std::string folder = trashedPath.substr(0, trashedPath.rfind("/files/"));
        return folder + "/info/" + baseName(trashedPath) + ".trashinfo";
    }
};

TEST_F(TWTrashTest, InfoFileRecordsEscapedRealPathAndLocalDeletionDate) {
    struct Case {
        const char* name;
        const char* encodedName;
    };
    const Case cases[] = {
        {"plain.txt", "plain.txt"},
        {"two words & 100%.txt", "two%20words%20%26%20100%25.txt"},
        {"caf\xc3\xa9 #1?.txt", "caf%C3%A9%20%231%3F.txt"},
        {"not\xff\xfeutf8\x80", "not%FF%FEutf8%80"},
        {"keep-_.!~*'()", "keep-_.!~*'()"},
        {"a+b=c;d,e:f@g$h[i]", "a%2Bb%3Dc%3Bd%2Ce%3Af%40g%24h%5Bi%5D"},
        {"tab\tnewline\n", "tab%09newline%0A"},
    };
    const std::string folder = realPathOf(tree.folder("in folder"));
    ASSERT_TRUE(needsNoEscaping(realPathOf(tree.root()))) << tree.root();

    // A zone far from UTC tells local time apart from UTC on any day.
    TWScopedEnvironment zone("TZ", "TWT-14");
    ::tzset();
    auto localText = [](std::time_t when) {
        when += 14 * 3600;
        std::tm utc{};
        ::gmtime_r(&when, &utc);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
        return std::string(text);
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.encodedName);
        const std::string original = tree.file(std::string("in folder/") + c.name, c.name);
        const std::time_t before = std::time(nullptr);
        const TWTrashOutcome outcome = trash.moveToTrash(original);
        const std::time_t after = std::time(nullptr);

        ASSERT_TRUE(outcome.moved) << outcome.error;
        EXPECT_EQ(outcome.error, 0);
        EXPECT_EQ(outcome.newPath, filesFolder() + "/" + c.name);
        EXPECT_FALSE(exists(original));
        EXPECT_EQ(readFile(outcome.newPath), c.name);
        EXPECT_TRUE(trash.isInsideTrash(outcome.newPath));

        const InfoFile info = readInfo(infoFolder() + "/" + c.name + ".trashinfo");
        ASSERT_EQ(info.lines.size(), 3u);
        EXPECT_EQ(info.lines[0], "[Trash Info]");
        EXPECT_EQ(info.pathValue(), realPathOf(tree.root()) + "/in%20folder/" + c.encodedName);
        const std::string date = info.deletionDate();
        EXPECT_TRUE(date == localText(before) || date == localText(after)) << date;
    }
    ::unsetenv("TZ");
    ::tzset();
}

TEST_F(TWTrashTest, HomeTrashIsMadeWhenMissingWithPrivateFolders) {
    ASSERT_FALSE(exists(home.path("data")));
    const TWTrashOutcome outcome = trash.moveToTrash(tree.file("item", "x"));
    ASSERT_TRUE(outcome.moved) << outcome.error;
    for (const std::string& folder :
         {home.path("data"), trashRoot(), filesFolder(), infoFolder()}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(permissionsOf(folder), 0700u);
    }
    EXPECT_EQ(namesIn(filesFolder()), std::vector<std::string>{"item"});
    EXPECT_EQ(namesIn(infoFolder()), std::vector<std::string>{"item.trashinfo"});
}

TEST_F(TWTrashTest, HomeTrashFollowsXdgDataHomeOnlyWhenAbsolute) {
    struct Case {
        const char* label;
        std::optional<std::string> dataHome;
        std::string expectedFolder;
    };
    const std::string fallback = home.path(".local/share/Trash");
    const Case cases[] = {
        {"unset", std::nullopt, fallback},
        {"empty", std::string(), fallback},
        {"relative", std::string("relative/data"), fallback},
        {"absolute", home.path("elsewhere"), home.path("elsewhere/Trash")},
        {"trailing slashes", home.path("other//"), home.path("other/Trash")},
    };
    int item = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TWScopedEnvironment variable("XDG_DATA_HOME", c.dataHome.value_or(""));
        if (!c.dataHome)
            ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(trash.homeTrashFolder(), c.expectedFolder);
        EXPECT_EQ(trash.homeTrashFilesFolder(), c.expectedFolder + "/files");

        const std::string name = "item" + std::to_string(++item);
        const TWTrashOutcome outcome = trash.moveToTrash(tree.file(name, name));
        ASSERT_TRUE(outcome.moved) << outcome.error;
        EXPECT_EQ(outcome.newPath, c.expectedFolder + "/files/" + name);
        EXPECT_EQ(readFile(outcome.newPath), name);
    }
    EXPECT_EQ(&TWFreedesktopTrash::standard(), &TWFreedesktopTrash::standard());
}

TEST_F(TWTrashTest, NameTakenInTrashGetsUniqueNameAndEveryItemSurvives) {
    struct Case {
        const char* name;
        const char* second;
        const char* third;
    };
    const Case cases[] = {
        {"report.txt", "report.2.txt", "report.3.txt"},
        {"archive.tar.gz", "archive.tar.2.gz", "archive.tar.3.gz"},
        {"README", "README.2", "README.3"},
        {".bashrc", ".bashrc.2", ".bashrc.3"},
        {".config.json", ".config.2.json", ".config.3.json"},
        {"\xff\xfe.dat", "\xff\xfe.2.dat", "\xff\xfe.3.dat"},
    };
    const std::string realRoot = realPathOf(tree.root());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second);
        const char* origins[] = {"a/", "b/", "c/"};
        const char* expected[] = {c.name, c.second, c.third};
        std::vector<std::string> newPaths;
        for (int i = 0; i < 3; ++i) {
            const std::string original = tree.file(origins[i] + std::string(c.name), origins[i]);
            const TWTrashOutcome outcome = trash.moveToTrash(original);
            ASSERT_TRUE(outcome.moved) << outcome.error;
            EXPECT_EQ(outcome.newPath, filesFolder() + "/" + expected[i]);
            newPaths.push_back(outcome.newPath);
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(readFile(newPaths[i]), origins[i]);
            const std::string encodedName =
                c.name[0] == '\xff' ? "%FF%FE.dat" : std::string(c.name);
            EXPECT_EQ(readInfo(infoFileFor(newPaths[i])).pathValue(),
                      realRoot + "/" + origins[i] + encodedName);
        }
    }
}

TEST_F(TWTrashTest, ItemLeftInFilesWithoutInfoIsNeverReplaced) {
    home.file("data/Trash/files/orphan.txt", "older");
    home.folder("data/Trash/info");
    const TWTrashOutcome outcome = trash.moveToTrash(tree.file("orphan.txt", "newer"));
    ASSERT_TRUE(outcome.moved) << outcome.error;
    EXPECT_EQ(outcome.newPath, filesFolder() + "/orphan.2.txt");
    EXPECT_EQ(readFile(filesFolder() + "/orphan.txt"), "older");
    EXPECT_EQ(readFile(outcome.newPath), "newer");
    EXPECT_EQ(namesIn(infoFolder()), std::vector<std::string>{"orphan.2.txt.trashinfo"});
}

TEST_F(TWTrashTest, LongNameIsCutToLeaveRoomForItsInfoFile) {
    std::string name;
    for (int i = 0; i < 125; ++i)
        name += "\xc3\xa9"; // two bytes each
    name += "a.txt";
    ASSERT_EQ(name.size(), 255u);

    std::vector<std::string> newPaths;
    for (const char* folder : {"one/", "two/"}) {
        const TWTrashOutcome outcome = trash.moveToTrash(tree.file(folder + name, folder));
        ASSERT_TRUE(outcome.moved) << outcome.error;
        const std::string trashed = baseName(outcome.newPath);
        EXPECT_LE(trashed.size() + std::string(".trashinfo").size(), 255u);
        EXPECT_TRUE(exists(infoFileFor(outcome.newPath)));
        EXPECT_EQ(readFile(outcome.newPath), folder);
        newPaths.push_back(outcome.newPath);
    }
    EXPECT_NE(newPaths[0], newPaths[1]);
    // Cut on a character boundary: the kept part is whole two-byte characters.
    const std::string first = baseName(newPaths[0]);
    EXPECT_EQ(first.size() % 2, 0u);
    EXPECT_EQ(first, name.substr(0, first.size()));
}

TEST_F(TWTrashTest, LinkIsTrashedAsTheLinkAndItsTargetStays) {
    tree.file("target.txt", "target data");
    tree.file("folder/inside.txt", "inside");
    struct Case {
        const char* link;
        const char* target;
        const char* pathGiven;
    };
    const Case cases[] = {
        {"file-link", "target.txt", "file-link"},
        {"dangling-link", "missing.txt", "dangling-link"},
        {"folder-link", "folder", "folder-link"},
        {"folder-link-slash", "folder", "folder-link-slash/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pathGiven);
        tree.symlink(c.link, c.target);
        const TWTrashOutcome outcome = trash.moveToTrash(tree.path(c.pathGiven));
        ASSERT_TRUE(outcome.moved) << outcome.error;
        EXPECT_EQ(outcome.newPath, filesFolder() + "/" + c.link);
        struct stat status {};
        ASSERT_EQ(::lstat(outcome.newPath.c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode));
        char target[256] = {};
        ASSERT_GT(::readlink(outcome.newPath.c_str(), target, sizeof target - 1), 0);
        EXPECT_STREQ(target, c.target);
        EXPECT_FALSE(exists(tree.path(c.link)));
    }
    EXPECT_EQ(readFile(tree.path("target.txt")), "target data");
    EXPECT_EQ(readFile(tree.path("folder/inside.txt")), "inside");
}

TEST_F(TWTrashTest, FolderReachedThroughLinkIsTrashedWholeUnderItsRealPath) {
    tree.file("real/album/one.jpg", "1");
    tree.file("real/album/deeper/two.jpg", "2");
    tree.symlink("via", "real");
    const TWTrashOutcome outcome = trash.moveToTrash(tree.path("via/album"));
    ASSERT_TRUE(outcome.moved) << outcome.error;
    EXPECT_FALSE(exists(tree.path("real/album")));
    EXPECT_EQ(readFile(outcome.newPath + "/one.jpg"), "1");
    EXPECT_EQ(readFile(outcome.newPath + "/deeper/two.jpg"), "2");
    EXPECT_EQ(readInfo(infoFileFor(outcome.newPath)).pathValue(),
              realPathOf(tree.root()) + "/real/album");
    EXPECT_TRUE(trash.isInsideTrash(outcome.newPath + "/deeper/two.jpg"));
}

TEST_F(TWTrashTest, FailedMoveReportsErrnoAndLeavesEverythingInPlace) {
    // A first item makes the trash, so that the trash folders themselves can be named below.
    ASSERT_TRUE(trash.moveToTrash(tree.file("first", "1")).moved);
    tree.file("kept/file", "kept");
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {tree.path("missing.txt"), ENOENT},
        {tree.path("no-folder/missing.txt"), ENOENT},
        {"relative/path", EINVAL},
        {"", EINVAL},
        {"/", EINVAL},
        {tree.path("kept/.."), EINVAL},
        {tree.path("kept/."), EINVAL},
        {trashRoot(), EINVAL},
        {home.path("data"), EINVAL},
        {home.root(), EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const TWTrashOutcome outcome = trash.moveToTrash(c.path);
        EXPECT_FALSE(outcome.moved);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_TRUE(outcome.newPath.empty());
        EXPECT_EQ(namesIn(infoFolder()), std::vector<std::string>{"first.trashinfo"});
        EXPECT_EQ(namesIn(filesFolder()), std::vector<std::string>{"first"});
    }
    EXPECT_EQ(readFile(tree.path("kept/file")), "kept");
}

TEST_F(TWTrashTest, FailedRenameRemovesTheInfoFileItMade) {
    // A mount point cannot be renamed, but it passes every check before the rename.
    TWScopedMount mount(tree.folder("mounted"));
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    tree.file("mounted/data", "data");
    const TWTrashOutcome outcome = trash.moveToTrash(tree.path("mounted"));
    EXPECT_FALSE(outcome.moved);
    EXPECT_EQ(outcome.error, EBUSY);
    EXPECT_EQ(readFile(tree.path("mounted/data")), "data");
    EXPECT_TRUE(namesIn(infoFolder()).empty());
    EXPECT_TRUE(namesIn(filesFolder()).empty());
}

TEST_F(TWTrashTest, ItemAlreadyInTrashIsReportedWithoutAnotherMove) {
    const TWTrashOutcome first = trash.moveToTrash(tree.file("once.txt", "once"));
    ASSERT_TRUE(first.moved);
    const TWTrashOutcome again = trash.moveToTrash(first.newPath);
    EXPECT_TRUE(again.moved);
    EXPECT_EQ(again.newPath, realPathOf(filesFolder()) + "/once.txt");
    EXPECT_EQ(namesIn(filesFolder()), std::vector<std::string>{"once.txt"});
    EXPECT_EQ(namesIn(infoFolder()), std::vector<std::string>{"once.txt.trashinfo"});
}

TEST_F(TWTrashTest, IsInsideTrashDecidesByPathComponents) {
    const std::string files = trash.homeTrashFilesFolder();
    home.folder("data/Trash/files/deep");
    tree.symlink("to-files", files);
    tree.folder(".Trash-" + uidText() + "/files");
    tree.folder(".Trash/" + uidText() + "/files");
    const std::string uid = uidText();
    struct Case {
        std::string path;
        bool inside;
    };
    const Case cases[] = {
        {files + "/gone.txt", true},
        {files + "/deep/er/gone.txt", true},
        {files + "//deep/./x/", true},
        {trashRoot() + "/other/../files/x", true},
        {tree.path("to-files/x"), true},
        {files, false},
        {files + "/", false},
        {files + "/deep/../..", false},
        {files + "/../x", false},
        {trashRoot() + "/info/x.trashinfo", false},
        {trashRoot() + "/files2/x", false},
        {trashRoot() + "files/x", false},
        {tree.path("files/x"), false},
        {tree.path(".Trash/files/x"), false},
        // Top-level trashes count only at the top of a mount.
        {tree.path(".Trash-" + uid + "/files/x"), false},
        {tree.path(".Trash/" + uid + "/files/x"), false},
        {"/.Trash-" + uid + "/files/x", true},
        {"/.Trash/" + uid + "/files/dir/x", true},
        {"/.Trash-" + uid + "/files", false},
        {"/.Trash-" + uid + "/info/x.trashinfo", false},
        {"/.Trash-" + uid + "x/files/x", false},
        {"/.Trash-4000000000/files/x", uid == "4000000000"},
        {"/.Trash/files/x", false},
        {"relative/files/x", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(trash.isInsideTrash(c.path), c.inside);
    }
}

TEST_F(TWTrashTest, ItemOnAnotherFileSystemGoesToThatMountsTrash) {
    enum class Shared { None, Sticky, NotSticky, LinkToSticky };
    struct Case {
        const char* label;
        Shared shared;
        std::string expectedRoot;
    };
    const std::string uid = uidText();
    const Case cases[] = {
        {"no .Trash", Shared::None, ".Trash-" + uid},
        {"sticky .Trash", Shared::Sticky, ".Trash/" + uid},
        {".Trash without sticky bit", Shared::NotSticky, ".Trash-" + uid},
        {".Trash is a link", Shared::LinkToSticky, ".Trash-" + uid},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string folder = tree.folder("mount" + std::to_string(++number));
        TWScopedMount mount(folder);
        if (!mount.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";
        const std::string topdir = realPathOf(folder);
        ASSERT_TRUE(needsNoEscaping(topdir));
        if (c.shared == Shared::Sticky || c.shared == Shared::NotSticky) {
            ASSERT_EQ(::mkdir((topdir + "/.Trash").c_str(), 0777), 0);
            ASSERT_EQ(
                ::chmod((topdir + "/.Trash").c_str(), c.shared == Shared::Sticky ? 01777 : 0777),
                0);
        } else if (c.shared == Shared::LinkToSticky) {
            ASSERT_EQ(::mkdir((topdir + "/sticky").c_str(), 0777), 0);
            ASSERT_EQ(::chmod((topdir + "/sticky").c_str(), 01777), 0);
            ASSERT_EQ(::symlink("sticky", (topdir + "/.Trash").c_str()), 0);
        }
        const std::string original =
            tree.file("mount" + std::to_string(number) + "/sub dir/na me.txt", c.label);
        const ino_t inode = inodeOf(original);

        const TWTrashOutcome outcome = trash.moveToTrash(original);
        ASSERT_TRUE(outcome.moved) << outcome.error;
        const std::string root = topdir + "/" + c.expectedRoot;
        EXPECT_EQ(outcome.newPath, root + "/files/na me.txt");
        EXPECT_EQ(inodeOf(outcome.newPath), inode) << "moved by rename, never copied";
        EXPECT_EQ(readFile(outcome.newPath), c.label);
        EXPECT_FALSE(exists(original));
        EXPECT_EQ(permissionsOf(root), 0700u);
        const InfoFile info = readInfo(root + "/info/na me.txt.trashinfo");
        EXPECT_EQ(info.pathValue(), "sub%20dir/na%20me.txt");
        EXPECT_TRUE(trash.isInsideTrash(outcome.newPath));
        EXPECT_FALSE(exists(trashRoot()));
        if (c.shared == Shared::LinkToSticky) {
            EXPECT_TRUE(namesIn(topdir + "/sticky").empty());
        }
    }
}

TEST_F(TWTrashTest, NoUsableTrashOnTheMountMeansNoMove) {
    enum class Setup { PrivateTrashIsFile, PrivateTrashIsLink, ReadOnly };
    struct Case {
        const char* label;
        Setup setup;
        int error;
    };
    const Case cases[] = {
        {".Trash-uid is a file", Setup::PrivateTrashIsFile, ENOTDIR},
        {".Trash-uid is a link", Setup::PrivateTrashIsLink, ELOOP},
        {"read-only mount", Setup::ReadOnly, EROFS},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string name = "mount" + std::to_string(++number);
        TWScopedMount mount(tree.folder(name));
        if (!mount.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";
        const std::string original = tree.file(name + "/keep.txt", "keep");
        const std::string privateTrash = tree.path(name + "/.Trash-" + uidText());
        if (c.setup == Setup::PrivateTrashIsFile)
            tree.file(name + "/.Trash-" + uidText(), "not a folder");
        else if (c.setup == Setup::PrivateTrashIsLink)
            tree.symlink(name + "/.Trash-" + uidText(), tree.folder(name + "/elsewhere"));
        else {
            ASSERT_TRUE(mount.makeReadOnly());
        }

        const TWTrashOutcome outcome = trash.moveToTrash(original);
        EXPECT_FALSE(outcome.moved);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(readFile(original), "keep");
        EXPECT_FALSE(exists(trashRoot())) << "never carried over to the home trash";
    }
}

TEST_F(TWTrashTest, BindMountOfHomeFileSystemUsesItsOwnTopLevelTrash) {
    tree.folder("source");
    TWScopedMount bind(tree.folder("bound"), tree.path("source").c_str(), nullptr, MS_BIND,
                       nullptr);
    if (!bind.mounted())
        GTEST_SKIP() << "cannot bind-mount here";
    const std::string original = tree.file("bound/photo.jpg", "photo");
    const ino_t inode = inodeOf(original);

    // Same device as the home trash, yet a rename there crosses mounts.
    const TWTrashOutcome outcome = trash.moveToTrash(original);
    ASSERT_TRUE(outcome.moved) << outcome.error;
    EXPECT_EQ(outcome.newPath,
              realPathOf(tree.path("bound")) + "/.Trash-" + uidText() + "/files/photo.jpg");
    EXPECT_EQ(inodeOf(outcome.newPath), inode);
    EXPECT_EQ(readInfo(infoFileFor(outcome.newPath)).pathValue(), "photo.jpg");
    EXPECT_TRUE(namesIn(infoFolder()).empty()) << "the home trash's reservation is taken back";
    EXPECT_TRUE(trash.isInsideTrash(outcome.newPath));
}

} // namespace
