#include "engine/TWSimilarName.h"

#include <gtest/gtest.h>
#include <latch>
#include <string>
#include <thread>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uloc.h>
#include <unicode/utf16.h>

namespace {

std::string repeated(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

std::string utf8(char16_t unit) {
    std::string text;
    if (unit < 0x80) {
        text.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        text.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
    return text;
}

// First in the file so that, run on its own (as ctest does), both threads race to build the
// set; under ThreadSanitizer this also checks the construction is free of data races.
TEST(SimilarNameCharacterSet, TwoThreadsAskingAtOnceGetTheSameSet) {
    std::latch start(2);
    const TWSimilarNameCharacterSet* seen[2] = {};
    auto ask = [&](int slot) {
        start.arrive_and_wait();
        seen[slot] = &similarNameCharacterSet();
    };
    std::thread first(ask, 0);
    std::thread second(ask, 1);
    first.join();
    second.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &similarNameCharacterSet());
    EXPECT_TRUE(seen[0]->contains(u'A'));
}

struct NameCase {
    const char* label;
    std::string name;
    std::string similar;
};

TEST(SimilarNameForName, ReducesNames) {
    const NameCase cases[] = {
        {"copy of at start", "Copy of Report 2", "REPORT"},
        {"copy in parentheses", "report-final (copy)", "REPORT-FINAL()"},
        {"numbered 1", "IMG_0001", "IMG_"},
        {"numbered 2", "IMG_0002", "IMG_"},
        {"copy inside a word", "photocopy", "PHOTO"},
        {"copy starting a word", "Copybook notes", "BOOKNOTES"},
        {"digits and space", "12 34", ""},

        {"upper-case marker in the middle", "Report COPY OF 2", "REPORT"},
        {"title-case marker", "Copy Of Report", "REPORT"},
        {"mixed-case marker", "cOpY oF report", "REPORT"},
        {"copy at end", "Report copy", "REPORT"},
        {"two spaces: only copy goes", "copy  of notes", "OFNOTES"},
        {"copy of twice", "copy of copy of x", "X"},
        {"removal joins a new copy", "cocopypy", "COPY"},
        {"removal joins a new copy of", "copy copy ofof", "OF"},
        {"copy joined by copy-of removal goes in the copy scan", "cocopy ofpy", ""},

        {"same apart from digits, spaces, case, symbols 1", "Holiday Photo 1", "HOLIDAYPHOTO"},
        {"same apart from digits, spaces, case, symbols 2", "holiday photo 22", "HOLIDAYPHOTO"},
        {"same apart from digits, spaces, case, symbols 3", "HOLIDAY+PHOTO $3", "HOLIDAYPHOTO"},
        {"symbols only", "$+<=>^`|~ 42", ""},
        {"empty name", "", ""},
        {"spaces only", "   ", ""},
        {"punctuation stays", "2024-01-05 12.30 #3!", "--.#!"},

        {"CJK letters have no case", "报告", ""},
        {"CJK with fullwidth brackets", "报告（最终版）", "（）"},
        {"CJK comma", "会议、记录", "、"},
        {"kana and prolonged sound mark", "レポート", ""},

        {"sharp s", "Straße", "STRASSE"},
        {"sharp s equals its capital spelling", "STRASSE", "STRASSE"},
        {"combining accent dropped", "Cafe\u0301", "CAFE"},
        {"precomposed accent falls with the decomposed one", "Café", "CAFE"},
        {"ligature expands", "ﬁle", "FILE"},
        {"one unit upper-cases to three", "ΐ", "Ι"},
        {"title-case letter", "ǅemal", "ǄEMAL"},
        {"dotless i", "ı", "I"},
        {"dotted capital I", "İstanbul", "ISTANBUL"},
        {"Kelvin sign decomposes to K", "\u212A", "K"},
        {"fullwidth copy is no marker", "Ｃｏｐｙ", "ＣＯＰＹ"},

        {"invalid bytes", "Bad\xFF\xFEName", "BADNAME"},
        {"Latin-1 byte", "Caf\xE9", "CAF"},
        {"bad byte splits a marker", "co\xFFpy", "COPY"},
        {"truncated sequence at end", "ab\xE2\x82", "AB"},
        {"encoded surrogate", "x\xED\xA0\x80y", "XY"},
        {"overlong slash", "a\xC0\xAF-b", "A-B"},

        {"upper-case letter outside the BMP", "\U0001D400pple", "PPLE"},
        {"emoji", "Trip \U0001F600", "TRIP"},
        {"lower-case letter outside the BMP", "\U00010428", ""},

        {"long ASCII name", repeated("ab copy ", 300), repeated("AB", 300)},
        {"long name that grows", repeated("ß", 300), repeated("SS", 300)},
        {"long name that triples", repeated("ΐ", 300), repeated("Ι", 300)},
        {"surrogate pair across a slice boundary", "é" + repeated("a", 254) + "\U0001F600b",
         "E" + repeated("A", 254) + "B"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(similarNameForName(c.name), c.similar);
    }
}

// The canonical decomposition of a code unit.
icu::UnicodeString decomposed(UChar32 unit) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString result = nfd->normalize(icu::UnicodeString(unit), status);
    return U_SUCCESS(status) ? result : icu::UnicodeString(unit);
}

// Keys must not depend on the user's locale: in a Turkish one, i would upper-case to İ.
TEST(SimilarNameForName, UpperCasesTheSameInEveryLocale) {
    const std::string savedLocale = uloc_getDefault();
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault("tr_TR", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    const std::string similar = similarNameForName("içerik");
    uloc_setDefault(savedLocale.c_str(), &status);
    EXPECT_EQ(similar, "ICERIK");
}

// A code unit stands in for a marker letter exactly when simple case folding takes it, or the
// letter it decomposes to, there: for the letters of "copy of" their ASCII capital, and an
// accented form in last place (elsewhere the accent, a mark of its own after decomposition,
// stands between the marker's letters).
TEST(SimilarNameForName, MarkerLettersMatchUnderSimpleCaseFolding) {
    const std::u16string_view marker = u"copy of";
    for (std::size_t position = 0; position < marker.size(); ++position) {
        for (UChar32 unit = 0; unit < 0x10000; ++unit) {
            if (U16_IS_SURROGATE(unit)) {
                continue;
            }
            std::string name = "x";
            for (std::size_t k = 0; k < marker.size(); ++k) {
                name += k == position ? utf8(static_cast<char16_t>(unit))
                                      : std::string(1, static_cast<char>(marker[k]));
            }
            name += "z";
            const icu::UnicodeString parts = decomposed(unit);
            const bool folds = u_foldCase(parts.char32At(0), U_FOLD_CASE_DEFAULT) ==
                                   static_cast<UChar32>(marker[position]) &&
                               (parts.length() == 1 || position + 1 == marker.size());
            if ((similarNameForName(name) == "XZ") != folds) {
                ADD_FAILURE() << "position " << position << ", code unit U+" << std::hex << unit;
            }
        }
    }
}

TEST(SimilarNameCharacterSet, PrintableAsciiKeepsLettersAndPunctuationOnly) {
    const std::string keptPunctuation = "!\"#%&'()*,-./:;?@[\\]_{}";
    const TWSimilarNameCharacterSet& set = similarNameCharacterSet();
    for (char c = 0x20; c <= 0x7E; ++c) {
        SCOPED_TRACE(std::string(1, c));
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        const bool punctuation = keptPunctuation.find(c) != std::string::npos;
        EXPECT_EQ(set.contains(static_cast<char16_t>(c)), upper || punctuation);
        const std::string expected =
            lower ? std::string(1, static_cast<char>(c - 'a' + 'A'))
                  : (upper || punctuation ? std::string(1, c) : std::string());
        EXPECT_EQ(similarNameForName(std::string(1, c)), expected);
    }
}

TEST(SimilarNameCharacterSet, KeepsOnlyUpperCaseLettersAndPunctuationBeyondAscii) {
    const struct {
        char16_t unit;
        bool kept;
    } cases[] = {
        {u'\u00C9', true},  {u'\u01C5', true},  {u'\u3001', true},  {u'\uFF08', true},
        {u'\u2014', true},  {u'\u00AB', true},  {u'\u00BB', true},  {u'\u00DF', false},
        {u'\u00E9', false}, {u'\u0301', false}, {u'\u00A0', false}, {u'\u4E2D', false},
        {u'\uFFFD', false}, {u'\u200B', false}, {u'\u00B2', false}, {u'\u20AC', false},
        {0xD835, false},    {0xDC00, false},    {0xFFFF, false},
    };
    const TWSimilarNameCharacterSet& set = similarNameCharacterSet();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(c.unit));
        EXPECT_EQ(set.contains(c.unit), c.kept);
    }
}

} // namespace
