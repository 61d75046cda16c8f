#include "platform/TWHiddenFileList.h"

#include "platform/TWFileDescriptor.h"
#include "support/TWFixtureTree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TWHiddenFileListTest, ParseTable) {
    struct Case {
        const char* name;
        std::string contents;
        std::vector<std::string> hidden;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"empty", "", {}, {"", "a"}},
        {"lines", "a\nb c\n", {"a", "b c"}, {"b", "c", "a\n"}},
        {"no final newline", "a\nlast", {"a", "last"}, {"las"}},
        {"CRLF", "a\r\nb\r\n", {"a", "b"}, {"a\r"}},
        {"only one CR dropped", "a\r\r\n", {"a\r"}, {"a"}},
        {"empty lines ignored", "\n\n\r\nx\n\n", {"x"}, {"", "\r"}},
        {"spaces kept", " a \n", {" a "}, {"a"}},
        {"raw bytes", "caf\xe9\n\xff\xfe\n", {"caf\xe9", "\xff\xfe"}, {"caf\xc3\xa9"}},
        {"NUL inside a name", std::string("a\0b\n", 4), {std::string("a\0b", 3)}, {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWHiddenFileList list = TWHiddenFileList::parse(c.contents);
        EXPECT_EQ(list.isEmpty(), c.hidden.empty());
        for (const std::string& name : c.hidden)
            EXPECT_TRUE(list.contains(name)) << name;
        for (const std::string& name : c.shown)
            EXPECT_FALSE(list.contains(name)) << name;
    }
}

class TWHiddenFileListFolderTest : public ::testing::Test {
protected:
    TWHiddenFileList read(const std::string& folder) {
        TWFileDescriptor fd(::open(tree_.path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        EXPECT_TRUE(fd);
        return TWHiddenFileList::readFromFolder(fd.get());
    }

    TWFixtureTree tree_;
};

TEST_F(TWHiddenFileListFolderTest, ReadsTheFolderFile) {
    tree_.file("f/.hidden", "secret\nnotes.txt\n");
    TWHiddenFileList list = read("f");
    EXPECT_TRUE(list.contains("secret"));
    EXPECT_TRUE(list.contains("notes.txt"));
}

TEST_F(TWHiddenFileListFolderTest, AbsentOrNotARegularFileGivesEmpty) {
    tree_.folder("none");
    tree_.folder("dir/.hidden");
    tree_.fifo("fifo/.hidden"); // must not block
    for (const char* folder : {"none", "dir", "fifo"}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(read(folder).isEmpty());
    }
}

TEST_F(TWHiddenFileListFolderTest, ReadingStopsAtTheLimitWithoutACutName) {
    // The first line fills the limit but one byte, so the second one is cut after one byte:
    // "b" must not be taken for the name "bbbb".
    std::string contents(TWHiddenFileList::kMaxBytes - 2, 'a');
    contents += "\nbbbb\n";
    tree_.file("big/.hidden", contents);
    TWHiddenFileList list = read("big");
    EXPECT_TRUE(list.contains(std::string(TWHiddenFileList::kMaxBytes - 2, 'a')));
    EXPECT_FALSE(list.contains("b"));
    EXPECT_FALSE(list.contains("bbbb"));

    std::string exact = "x\n" + std::string(TWHiddenFileList::kMaxBytes - 3, 'y') + "\n";
    ASSERT_EQ(exact.size(), TWHiddenFileList::kMaxBytes);
    tree_.file("exact/.hidden", exact);
    EXPECT_TRUE(read("exact").contains(std::string(TWHiddenFileList::kMaxBytes - 3, 'y')));
}

} // namespace
