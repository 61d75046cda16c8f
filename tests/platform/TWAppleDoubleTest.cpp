#include "platform/TWAppleDouble.h"

#include "support/TWFixtureTree.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::uint32_t id;
    std::uint32_t offset;
    std::uint32_t length;
};

void putBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A companion header with any magic, version, entry count and entries, padded to `size`.
std::string header(const std::vector<Entry>& entries, std::size_t size,
                   std::uint32_t magic = 0x00051607, std::uint32_t version = 0x00020000,
                   int count = -1) {
    std::string out;
    putBigEndian(out, magic, 4);
    putBigEndian(out, version, 4);
    out.append(16, '\0');
    putBigEndian(out, count < 0 ? static_cast<std::uint32_t>(entries.size()) : count, 2);
    for (const Entry& e : entries) {
        putBigEndian(out, e.id, 4);
        putBigEndian(out, e.offset, 4);
        putBigEndian(out, e.length, 4);
    }
    if (out.size() < size)
        out.resize(size, '\0');
    return out;
}

// Writes a Finder information block for the type `type` at `offset`.
std::string withFinderInfo(std::string bytes, std::size_t offset, std::string_view type) {
    std::string info = TWFixtureTree::finderInfoBytes(type, "crea", 0x4000);
    bytes.replace(offset, info.size(), info);
    return bytes;
}

std::optional<TWAppleDoubleContents> parse(const std::string& bytes, std::uint64_t fileSize) {
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    return parseAppleDouble(data, fileSize);
}

constexpr std::uint32_t kText = 0x54455854; // 'TEXT'

TEST(TWAppleDoubleTest, ParseTable) {
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t fileSize; // 0: the size of `bytes`
        bool valid;
        std::uint32_t typeCode; // 0: no Finder information
        std::uint64_t forkOffset;
        std::uint64_t forkLength;
    };
    const std::string both = TWFixtureTree::appleDoubleBytes(
        TWFixtureTree::finderInfoBytes("TEXT", "crea", 0x4000), "fork bytes");
    const std::string infoOnly =
        TWFixtureTree::appleDoubleBytes(TWFixtureTree::finderInfoBytes("TEXT", "crea", 0), {});
    // What macOS writes: a Finder information entry of 3730 bytes that carries the extended
    // attributes after its first 32, and the resource fork behind it.
    const std::string macStyle =
        withFinderInfo(header({{9, 50, 3730}, {2, 4096, 286}}, 4096 + 286), 50, "TEXT");

    const Case cases[] = {
        {"finder info and fork", both, 0, true, kText, 26 + 24 + 32, 10},
        {"finder info only", infoOnly, 0, true, kText, 0, 0},
        {"no entries", header({}, 26), 0, true, 0, 0, 0},
        {"long entry 9 (macOS)", macStyle, 0, true, kText, 4096, 286},
        {"short entry 9 keeps fork",
         withFinderInfo(header({{9, 50, 31}, {2, 81, 5}}, 86), 50, "TEXT"), 0, true, 0, 81, 5},
        {"entry 9 beyond header keeps fork", header({{2, 38, 4}, {9, 42, 32}}, 50), 200, true, 0,
         38, 4},
        {"fork beyond header", header({{2, 100, 1000}}, 38), 1100, true, 0, 100, 1000},
        {"first entry 9 wins",
         withFinderInfo(withFinderInfo(header({{9, 50, 32}, {9, 82, 32}}, 114), 50, "TEXT"), 82,
                        "PICT"),
         0, true, kText, 0, 0},
        {"empty", "", 0, false, 0, 0, 0},
        {"shorter than fixed part", both.substr(0, 25), 0, false, 0, 0, 0},
        {"AppleSingle magic", header({}, 26, 0x00051600), 0, false, 0, 0, 0},
        {"wrong version", header({}, 26, 0x00051607, 0x00010000), 0, false, 0, 0, 0},
        {"count above entries present", header({{9, 50, 32}}, 38, 0x00051607, 0x00020000, 2), 0,
         false, 0, 0, 0},
        {"huge entry count", header({{9, 50, 32}}, 4096, 0x00051607, 0x00020000, 0xFFFF), 0, false,
         0, 0, 0},
        {"fork past end of file", header({{2, 38, 100}}, 100), 0, false, 0, 0, 0},
        {"offset near 2^32", header({{9, 0xFFFFFFF0u, 0x20}}, 38), 0, false, 0, 0, 0},
        {"unknown entry past end", header({{3, 0, 1000}}, 38), 0, false, 0, 0, 0},
        {"header longer than file", both, 20, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<TWAppleDoubleContents> contents =
            parse(c.bytes, c.fileSize != 0 ? c.fileSize : c.bytes.size());
        ASSERT_EQ(contents.has_value(), c.valid);
        if (!contents)
            continue;
        if (c.typeCode == 0) {
            EXPECT_FALSE(contents->finderInfo);
        } else {
            ASSERT_TRUE(contents->finderInfo);
            EXPECT_EQ(contents->finderInfo->typeCode, c.typeCode);
        }
        EXPECT_EQ(contents->resourceForkOffset, c.forkOffset);
        EXPECT_EQ(contents->resourceForkLength, c.forkLength);
    }
}

TEST(TWAppleDoubleTest, FinderInfoEntryGivesCreatorAndFlags) {
    std::optional<TWAppleDoubleContents> contents = parse(
        TWFixtureTree::appleDoubleBytes(TWFixtureTree::finderInfoBytes("TEXT", "ttxt", 0x8000), {}),
        26 + 12 + 32);
    ASSERT_TRUE(contents && contents->finderInfo);
    EXPECT_EQ(contents->finderInfo->creatorCode, 0x74747874u);
    EXPECT_TRUE(contents->finderInfo->isAlias());
}

} // namespace
