#include "platform/TWContentsReader.h"

#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

namespace {

class Collect final : public TWContentsReader::Consumer {
public:
    explicit Collect(int stopAfter = -1) : stopAfter_(stopAfter) {}
    bool consume(std::span<const std::uint8_t> piece) override {
        bytes.append(reinterpret_cast<const char*>(piece.data()), piece.size());
        ++pieces;
        return pieces != stopAfter_;
    }
    std::string bytes;
    int pieces = 0;

private:
    int stopAfter_;
};

TWContentsReader::Expected expectedFor(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    return {{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)},
            static_cast<std::uint64_t>(info.st_size)};
}

// Only a regular file is ever opened; a FIFO in its place must not block the open.
TEST(TWContentsReaderTest, OpensOnlyRegularFiles) {
    TWFixtureTree tree;
    const std::string file = tree.file("file", "contents");
    struct Case {
        const char* name;
        std::string path;
        bool opens;
    };
    const Case cases[] = {
        {"regular file", file, true},
        {"link to the file", tree.symlink("link", "file"), false},
        {"folder", tree.folder("folder"), false},
        {"FIFO", tree.fifo("fifo"), false},
        {"missing", tree.path("missing"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TWContentsReader::openRegularFile(TWItemLocation::forPath(c.path), nullptr)
                      .isValid(),
                  c.opens);
    }
}

TEST(TWContentsReaderTest, OpenChecksTheFileIsTheOneExpected) {
    TWFixtureTree tree;
    const std::string path = tree.file("file", "contents");
    TWContentsReader::Expected expected = expectedFor(path);
    std::uint64_t size = 0;
    EXPECT_TRUE(TWContentsReader::openRegularFile(TWItemLocation::forPath(path), &expected, &size));
    EXPECT_EQ(size, 8u);

    TWContentsReader::Expected otherSize = expected;
    otherSize.size = 9;
    EXPECT_FALSE(TWContentsReader::openRegularFile(TWItemLocation::forPath(path), &otherSize));
    TWContentsReader::Expected otherInode = expected;
    otherInode.identity.inode += 1;
    EXPECT_FALSE(TWContentsReader::openRegularFile(TWItemLocation::forPath(path), &otherInode));
}

TEST(TWContentsReaderTest, ReadsRangesInPiecesOfItsBuffer) {
    TWFixtureTree tree;
    std::string bytes;
    for (int i = 0; i < 10000; ++i)
        bytes.push_back(static_cast<char>(i * 7));
    const std::string path = tree.file("file", bytes);
    TWFileDescriptor fd = TWContentsReader::openRegularFile(TWItemLocation::forPath(path), nullptr);
    ASSERT_TRUE(fd);
    TWContentsReader reader(4096);

    Collect all;
    EXPECT_TRUE(reader.readRange(fd.get(), 0, bytes.size(), all, true));
    EXPECT_EQ(all.bytes, bytes);
    EXPECT_EQ(all.pieces, 3);

    Collect middle;
    EXPECT_TRUE(reader.readRange(fd.get(), 5000, 100, middle));
    EXPECT_EQ(middle.bytes, bytes.substr(5000, 100));

    Collect pastEnd; // the file ends before the range does
    EXPECT_FALSE(reader.readRange(fd.get(), 9000, 2000, pastEnd));

    Collect stopped(1);
    EXPECT_FALSE(reader.readRange(fd.get(), 0, bytes.size(), stopped));
    EXPECT_EQ(stopped.pieces, 1);
}

TEST(TWContentsReaderTest, LinkTextIsReadWithoutFollowing) {
    TWFixtureTree tree;
    const std::string link = tree.symlink("link", "nowhere/at all");
    EXPECT_EQ(TWContentsReader::readLinkText(TWItemLocation::forPath(link), nullptr),
              "nowhere/at all");
    TWContentsReader::Expected expected = expectedFor(link);
    EXPECT_TRUE(TWContentsReader::readLinkText(TWItemLocation::forPath(link), &expected.identity));
    expected.identity.inode += 1;
    EXPECT_FALSE(TWContentsReader::readLinkText(TWItemLocation::forPath(link), &expected.identity));
    EXPECT_FALSE(TWContentsReader::readLinkText(TWItemLocation::forPath(tree.file("file")), nullptr));
}

TEST(TWContentsReaderTest, DeviceProbesAnswerWithoutFailing) {
    TWFixtureTree tree;
    const std::string path = tree.fileOfSize("file", 100000);
    TWFileDescriptor fd = TWContentsReader::openRegularFile(TWItemLocation::forPath(path), nullptr);
    ASSERT_TRUE(fd);
    // Where the file system maps extents, a written file has a first one.
    auto offset = TWContentsReader::physicalOffset(fd.get());
    if (offset) {
        EXPECT_GT(*offset, 0u);
    }
    TWFileDescriptor empty =
        TWContentsReader::openRegularFile(TWItemLocation::forPath(tree.file("empty")), nullptr);
    EXPECT_EQ(TWContentsReader::physicalOffset(empty.get()), std::nullopt);

    struct stat info {};
    ASSERT_EQ(::stat("/proc", &info), 0);
    // A pseudo file system has no block device behind it.
    EXPECT_EQ(isRotationalDevice(info.st_dev), std::nullopt);
    EXPECT_FALSE(isVirtualBlockDevice(info.st_dev));
}

} // namespace
