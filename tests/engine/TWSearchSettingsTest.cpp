#include "engine/TWSearchSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using List = TWParamValue::List;
using Texts = std::vector<std::string>;

// Every flag of the settings, by name, so that a case can say which flags it expects on.
std::vector<std::string> flagsOn(const TWSearchSettings& s) {
    const std::pair<const char*, bool> flags[] = {
        {"willTreatPackagesAsFiles", s.willTreatPackagesAsFiles},
        {"willIgnoreInvisibles", s.willIgnoreInvisibles},
        {"willFilterSymLinksAndAliases", s.willFilterSymLinksAndAliases},
        {"willFilterSizesLessThan", s.willFilterSizesLessThan},
        {"willFilterSizesGreaterThan", s.willFilterSizesGreaterThan},
        {"willFilterExtensions", s.willFilterExtensions},
        {"willFilterTypes", s.willFilterTypes},
        {"willFilterCreators", s.willFilterCreators},
        {"excludeExtensions", s.excludeExtensions},
        {"excludeTypes", s.excludeTypes},
        {"excludeCreators", s.excludeCreators},
        {"matchModified", s.matchModified},
        {"matchHFSType", s.matchHFSType},
        {"matchHFSCreator", s.matchHFSCreator},
        {"matchExtension", s.matchExtension},
        {"matchExactNames", s.matchExactNames},
        {"matchSimilarNames", s.matchSimilarNames},
        {"matchSizes", s.matchSizes},
        {"matchCreated", s.matchCreated},
        {"matchContents", s.matchContents},
        {"matchResourceFork", s.matchResourceFork},
    };
    std::vector<std::string> on;
    for (const auto& [name, value] : flags)
        if (value)
            on.push_back(name);
    return on;
}

TWSearchSettings read(const TWSearchParams& params) {
    TWSearchSettings settings;
    settings.readParamDict(params);
    return settings;
}

struct FlagCase {
    const char* label;
    TWSearchParams params;
    std::vector<std::string> flags;
};

TEST(SearchSettingsReading, KeysTurnOnExactlyTheirFlags) {
    const FlagCase cases[] = {
        {"empty dictionary", {}, {}},
        {"contents", {{"TWContentsMatch", ""}}, {"matchSizes", "matchContents"}},
        {"sizes", {{"TWSizesMatch", ""}}, {"matchSizes"}},
        {"created", {{"TWCreatedMatch", ""}}, {"matchCreated"}},
        {"modified", {{"TWModifiedMatch", ""}}, {"matchModified"}},
        {"type", {{"TWHFSTypeMatch", ""}}, {"matchHFSType"}},
        {"creator", {{"TWHFSCreatorMatch", ""}}, {"matchHFSCreator"}},
        {"extension", {{"TWExtensionMatch", ""}}, {"matchExtension"}},
        {"packages", {{"TWPackageContentsFilter", ""}}, {"willTreatPackagesAsFiles"}},
        {"invisibles", {{"TWInvisiblesFilter", ""}}, {"willIgnoreInvisibles"}},
        {"links", {{"TWSymLinkAliasFilter", ""}}, {"willFilterSymLinksAndAliases"}},
        {"forks", {{"TWExamineResourceForks", ""}}, {"matchResourceFork"}},
        // Presence alone counts, whatever the value.
        {"presence with a number", {{"TWSizesMatch", 0}}, {"matchSizes"}},
        {"exact names", {{"TWNamesMatch", "TWExact"}}, {"matchExactNames"}},
        {"similar names", {{"TWNamesMatch", "TWSimilar"}}, {"matchSimilarNames"}},
        {"empty name value", {{"TWNamesMatch", ""}}, {}},
        {"name value in other case", {{"TWNamesMatch", "twexact"}}, {}},
        {"name value as list", {{"TWNamesMatch", List{"TWExact"}}}, {}},
        {"unknown key", {{"TWSomethingElse", ""}}, {}},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(flagsOn(read(c.params)), c.flags);
    }
}

struct SizeCase {
    const char* label;
    TWParamValue value;
    bool lessThan;
    std::uint64_t minimum;
    bool greaterThan;
    std::uint64_t maximum;
};

TEST(SearchSettingsReading, SizeFilterList) {
    constexpr std::uint64_t kFiveGiB = 5ull * 1024 * 1024 * 1024;
    const SizeCase cases[] = {
        {"both tags", List{"TWLessThan", 100, "TWGreaterThan", 2000}, true, 100, true, 2000},
        {"greater than 5 GiB keeps 64 bits", List{"TWGreaterThan", kFiveGiB}, false, 0, true,
         kFiveGiB},
        {"less than only", List{"TWLessThan", 7}, true, 7, false, 0},
        {"unknown tag skipped with its bound",
         List{"TWBetween", 5, "TWGreaterThan", 9}, false, 0, true, 9},
        {"last bound of a repeated tag counts",
         List{"TWLessThan", 1, "TWLessThan", 2}, true, 2, false, 0},
        {"odd length ignored", List{"TWLessThan", 100, "TWGreaterThan"}, false, 0, false, 0},
        {"not a list", TWParamValue("TWLessThan"), false, 0, false, 0},
        {"tag in other case", List{"twlessthan", 5}, false, 0, false, 0},
        {"bound that is not a number", List{"TWGreaterThan", "100"}, false, 0, false, 0},
        {"largest unsigned bound", List{"TWGreaterThan", UINT64_MAX}, false, 0, true, UINT64_MAX},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.label);
        TWSearchSettings s = read({{"TWSizeFilter", c.value}});
        EXPECT_EQ(s.willFilterSizesLessThan, c.lessThan);
        EXPECT_EQ(s.minimumSize, c.minimum);
        EXPECT_EQ(s.willFilterSizesGreaterThan, c.greaterThan);
        EXPECT_EQ(s.maximumSize, c.maximum);
    }
}

struct FilterListCase {
    const char* label;
    TWParamValue value;
    bool filter;
    bool exclude;
    Texts entries;
};

TEST(SearchSettingsReading, FilterListsTakeModeAndEntries) {
    const FilterListCase cases[] = {
        {"include", List{"TWInclude", List{"jpg", "JPG", ".png"}}, true, false,
         {"jpg", "JPG", ".png"}},
        {"exclude", List{"TWExclude", List{"tmp"}}, true, true, {"tmp"}},
        {"any other mode includes", List{"TWSomething", List{"a"}}, true, false, {"a"}},
        {"empty mode includes", List{"", List{"a"}}, true, false, {"a"}},
        {"mode in other case includes", List{"twexclude", List{"a"}}, true, false, {"a"}},
        {"empty list turns the filter off", List{"TWInclude", List{}}, false, false, {}},
        {"one element", List{"TWExclude"}, false, false, {}},
        {"no elements", List{}, false, false, {}},
        {"not a list", TWParamValue("TWExclude"), false, false, {}},
    };
    for (const char* key : {"TWExtensionFilter", "TWHFSTypeFilter", "TWHFSCreatorFilter"}) {
        for (const FilterListCase& c : cases) {
            SCOPED_TRACE(std::string(key) + ": " + c.label);
            TWSearchSettings s = read({{key, c.value}});
            bool extensionKey = std::string(key) == "TWExtensionFilter";
            bool typeKey = std::string(key) == "TWHFSTypeFilter";
            bool filter = extensionKey ? s.willFilterExtensions
                          : typeKey    ? s.willFilterTypes
                                       : s.willFilterCreators;
            bool exclude = extensionKey ? s.excludeExtensions
                           : typeKey    ? s.excludeTypes
                                        : s.excludeCreators;
            const Texts& entries = extensionKey ? s.extensions
                                   : typeKey    ? s.hfsTypes
                                                : s.hfsCreators;
            EXPECT_EQ(filter, c.filter);
            EXPECT_EQ(exclude, c.exclude);
            if (extensionKey) {
                EXPECT_EQ(entries, c.entries); // kept exactly as typed
            } else {
                EXPECT_EQ(entries.size(), c.entries.size());
            }
            // No other list key was touched.
            EXPECT_EQ(s.willFilterExtensions + s.willFilterTypes + s.willFilterCreators,
                      c.filter ? 1 : 0);
        }
    }
}

TEST(SearchSettingsReading, TypeAndCreatorCodesAreQuoted) {
    const Texts typed = {"TEXT", "'PICT", "'8BIM'", "", "'", "ab'", "text "};
    const Texts quoted = {"'TEXT'", "'PICT'", "'8BIM'", "'", "'", "'ab'", "'text '"};
    TWSearchSettings s =
        read({{"TWHFSTypeFilter", List{"TWInclude", List{typed.begin(), typed.end()}}},
              {"TWHFSCreatorFilter", List{"TWExclude", List{typed.begin(), typed.end()}}}});
    EXPECT_EQ(s.hfsTypes, quoted);
    EXPECT_EQ(s.hfsCreators, quoted);
    EXPECT_TRUE(s.willFilterTypes);
    EXPECT_FALSE(s.excludeTypes);
    EXPECT_TRUE(s.willFilterCreators);
    EXPECT_TRUE(s.excludeCreators);
}

TEST(SearchSettingsReading, EntriesThatAreNotTextsAreLeftOut) {
    TWSearchSettings s = read({{"TWExtensionFilter", List{"TWInclude", List{"jpg", 5, List{}}}}});
    EXPECT_EQ(s.extensions, Texts{"jpg"});
    EXPECT_TRUE(s.willFilterExtensions);
}

TEST(SearchSettingsReading, ListSettersSetTheirFlagFromTheEntries) {
    TWSearchSettings s;
    s.setExtensions({"jpg"});
    EXPECT_TRUE(s.willFilterExtensions);
    s.setExtensions({});
    EXPECT_FALSE(s.willFilterExtensions);
    s.setHFSCreators({"ttxt"});
    EXPECT_EQ(s.hfsCreators, Texts{"'ttxt'"});
    EXPECT_TRUE(s.willFilterCreators);
}

} // namespace
