#include "engine/TWStatusText.h"
#include "engine/TWTextCase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<TWStatusText::Argument>;

TEST(StatusText, FillsConversionsInOrder) {
    struct Case {
        std::string format;
        Arguments arguments;
        std::string text;
    };
    const Case cases[] = {
        {"Found %qu matches in %qu groups...", {std::uint64_t{12}, std::uint64_t{3}},
         "Found 12 matches in 3 groups..."},
        {"%qu", {std::uint64_t{18446744073709551615ull}}, "18446744073709551615"},
        {"Found %d files in %d matching groups (%@).",
         {std::int64_t{5}, std::int64_t{2}, std::string("260 bytes")},
         "Found 5 files in 2 matching groups (260 bytes)."},
        {"checking file %ld of %ld", {std::int64_t{-1}, std::int64_t{9}}, "checking file -1 of 9"},
        {"100%% done", {}, "100% done"},
        {"%d and %d", {std::int64_t{1}}, "1 and %d"}, // no argument left: written as it is
        {"%@ twice %@", {std::string("a%db"), std::string("c")}, "a%db twice c"},
        {"%x stays", {std::int64_t{1}}, "%x stays"},
        {"trailing %", {}, "trailing %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(TWStatusText::fill(c.format, c.arguments), c.text);
    }
    // A translated format takes the same arguments.
    TWStatusText status{TWStatusFormat::kFoundMatches, {std::uint64_t{4}, std::uint64_t{1}}};
    EXPECT_EQ(TWStatusText::fill("%qu Treffer in %qu Gruppen...", status.arguments),
              "4 Treffer in 1 Gruppen...");
}

TEST(TextCase, LowerCaseKeepsBytesThatAreNotUtf8) {
    struct Case {
        std::string text;
        std::string lowered;
    };
    const Case cases[] = {
        {"JPG", "jpg"},
        {"Tar.GZ", "tar.gz"},
        {"", ""},
        {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},     // ÉTÉ
        {"\xCE\xA3\xCE\x91", "\xCF\x83\xCE\xB1"},       // ΣΑ, root locale: no final sigma rule
        {"\xC9XE", "\xC9xe"},                           // Latin-1 byte kept, ASCII lowered
        {"A\xFF" "B", "a\xFF" "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(lowercaseText(c.text), c.lowered);
    }
}

} // namespace
