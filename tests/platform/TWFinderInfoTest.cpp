#include "platform/TWFinderInfo.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(TWFinderInfoTest, ReadsCodesAndFlagsBigEndian) {
    std::string block(40, '\0');
    block.replace(0, 8, "TEXTttxt");
    block[8] = '\x40';
    block[9] = '\x01';
    block[39] = '\x7f'; // past the 32nd byte: ignored

    std::optional<TWFinderInfo> info = parseFinderInfo(bytesOf(block));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->typeCode, 0x54455854u);
    EXPECT_EQ(info->creatorCode, 0x74747874u);
    EXPECT_EQ(info->finderFlags, 0x4001u);
    EXPECT_TRUE(info->isInvisible());
    EXPECT_FALSE(info->isAlias());
}

TEST(TWFinderInfoTest, FewerThan32BytesIsMalformed) {
    EXPECT_FALSE(parseFinderInfo(bytesOf(std::string(31, 'A'))));
    EXPECT_FALSE(parseFinderInfo({}));
    EXPECT_TRUE(parseFinderInfo(bytesOf(std::string(32, '\0'))));
}

TEST(TWFinderInfoTest, CodeText) {
    struct Case {
        std::uint32_t code;
        std::string text;
    };
    const Case cases[] = {
        {0, ""},
        {0x54455854, "'TEXT'"}, // TEXT
        {0x38424920, "'8BI '"}, // trailing space is printable
        {0x00000001, "'\\x00\\x00\\x00\\x01'"},
        {0x41000000, "'A\\x00\\x00\\x00'"},
        {0x5C414243, "'\\\\ABC'"},          // backslash doubled
        {0x7F80FF7E, "'\\x7F\\x80\\xFF~'"}, // DEL and high bytes escaped, upper-case hex
        {0x27616227, "''ab''"},             // apostrophes stand for themselves
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fourCharCodeText(c.code), c.text);
    }
}

TEST(TWFinderInfoTest, DistinctCodesGiveDistinctTexts) {
    // Codes built from the bytes where escaping could collide: backslash, 'x', hex digits,
    // and bytes that need escaping.
    const std::uint8_t alphabet[] = {0x00, 0x5C, 'x', '0', 'F', 0x0F, 0xF0, 0x7F};
    std::set<std::string> texts;
    std::size_t codes = 0;
    for (std::uint8_t a : alphabet)
        for (std::uint8_t b : alphabet)
            for (std::uint8_t c : alphabet)
                for (std::uint8_t d : alphabet) {
                    std::uint32_t code = (std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) |
                                         (std::uint32_t{c} << 8) | d;
                    texts.insert(fourCharCodeText(code));
                    ++codes;
                }
    EXPECT_EQ(texts.size(), codes);
}

} // namespace
