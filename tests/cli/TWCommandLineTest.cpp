#include "cli/TWCommandLine.h"

#include "engine/TWSearchSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Parameter values as failure messages show them.
void PrintTo(const TWParamValue& value, std::ostream* out) {
    if (value.isText()) {
        *out << '"' << value.text() << '"';
    } else if (value.isNumber()) {
        *out << value.number();
    } else {
        *out << '{';
        for (const TWParamValue& element : value.list()) {
            PrintTo(element, out);
            *out << ' ';
        }
        *out << '}';
    }
}

namespace {

using Arguments = std::vector<std::string>;
using List = TWParamValue::List;

// The dictionary that the default criterion (identical contents) adds when no criterion is
// given.
const TWSearchParams kDefaultCriterion = {{"TWContentsMatch", ""}};

TWSearchParams withDefault(TWSearchParams params) {
    params.insert(kDefaultCriterion.begin(), kDefaultCriterion.end());
    return params;
}

struct OptionCase {
    Arguments arguments;
    TWSearchParams params;
};

TEST(CommandLineParsing, EveryOptionSetsItsKey) {
    const OptionCase cases[] = {
        {{}, kDefaultCriterion},
        {{"--names=exact"}, {{"TWNamesMatch", "TWExact"}}},
        {{"--names=similar"}, {{"TWNamesMatch", "TWSimilar"}}},
        {{"--sizes"}, {{"TWSizesMatch", ""}}},
        {{"--contents"}, {{"TWContentsMatch", ""}}},
        {{"--created"}, {{"TWCreatedMatch", ""}}},
        {{"--modified"}, {{"TWModifiedMatch", ""}}},
        {{"--type"}, {{"TWHFSTypeMatch", ""}}},
        {{"--creator"}, {{"TWHFSCreatorMatch", ""}}},
        {{"--extension"}, {{"TWExtensionMatch", ""}}},
        {{"--names=exact", "--sizes", "--extension"},
         {{"TWNamesMatch", "TWExact"}, {"TWSizesMatch", ""}, {"TWExtensionMatch", ""}}},
        // Filters and the fork option are no criterion: the default one comes with them.
        {{"--resource-forks"}, withDefault({{"TWExamineResourceForks", ""}})},
        {{"--skip-invisible"}, withDefault({{"TWInvisiblesFilter", ""}})},
        {{"--packages-as-files"}, withDefault({{"TWPackageContentsFilter", ""}})},
        {{"--skip-links"}, withDefault({{"TWSymLinkAliasFilter", ""}})},
        {{"--min-size=10k"}, withDefault({{"TWSizeFilter", List{"TWLessThan", 10240}}})},
        {{"--max-size=2g"}, withDefault({{"TWSizeFilter", List{"TWGreaterThan", std::uint64_t{2} << 30}}})},
        {{"--min-size=1", "--max-size=5M"},
         withDefault({{"TWSizeFilter", List{"TWLessThan", 1, "TWGreaterThan", std::uint64_t{5} << 20}}})},
        {{"--include-ext=jpg,JPG"},
         withDefault({{"TWExtensionFilter", List{"TWInclude", List{"jpg", "JPG"}}}})},
        {{"--exclude-ext=tmp"}, withDefault({{"TWExtensionFilter", List{"TWExclude", List{"tmp"}}}})},
        {{"--include-type=TEXT,PICT"},
         withDefault({{"TWHFSTypeFilter", List{"TWInclude", List{"TEXT", "PICT"}}}})},
        {{"--exclude-type=APPL"}, withDefault({{"TWHFSTypeFilter", List{"TWExclude", List{"APPL"}}}})},
        {{"--include-creator=ttxt"},
         withDefault({{"TWHFSCreatorFilter", List{"TWInclude", List{"ttxt"}}}})},
        {{"--exclude-creator=MSWD,8BIM"},
         withDefault({{"TWHFSCreatorFilter", List{"TWExclude", List{"MSWD", "8BIM"}}}})},
        // A trailing or doubled comma adds no empty entry, which would stand for "no
        // extension" and quietly take in (or leave out) every file without one.
        {{"--exclude-ext=tmp,,bak,"},
         withDefault({{"TWExtensionFilter", List{"TWExclude", List{"tmp", "bak"}}}})},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        TWCommandLineResult result = parseCommandLine(c.arguments);
        ASSERT_TRUE(result.options) << result.error;
        EXPECT_EQ(result.options->params, c.params);
        EXPECT_TRUE(result.options->startPaths.empty());
    }
}

TEST(CommandLineParsing, OutputAndProgramOptions) {
    using Output = TWCommandLineOptions::Output;
    struct Case {
        Arguments arguments;
        Output output;
        bool summary, help, version;
        unsigned readers;
    };
    const Case cases[] = {
        {{}, Output::plain, false, false, false, 0},
        {{"--summary"}, Output::plain, true, false, false, 0},
        {{"--json"}, Output::json, false, false, false, 0},
        {{"-0"}, Output::nulSeparated, false, false, false, 0},
        {{"--null", "--summary"}, Output::nulSeparated, true, false, false, 0},
        {{"--json", "-0"}, Output::nulSeparated, false, false, false, 0}, // the last one counts
        {{"-h"}, Output::plain, false, true, false, 0},
        {{"--help"}, Output::plain, false, true, false, 0},
        {{"--version"}, Output::plain, false, false, true, 0},
        {{"--readers=3"}, Output::plain, false, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        TWCommandLineResult result = parseCommandLine(c.arguments);
        ASSERT_TRUE(result.options) << result.error;
        EXPECT_EQ(result.options->output, c.output);
        EXPECT_EQ(result.options->summary, c.summary);
        EXPECT_EQ(result.options->showHelp, c.help);
        EXPECT_EQ(result.options->showVersion, c.version);
        EXPECT_EQ(result.options->readers, c.readers);
    }
}

TEST(CommandLineParsing, StartPathsAsGivenAndAfterDoubleDash) {
    TWCommandLineResult result = parseCommandLine(
        {"a", "--sizes", "-", "b\xFF", "--", "--json", "-0", ""});
    ASSERT_TRUE(result.options) << result.error;
    EXPECT_EQ(result.options->startPaths, (Arguments{"a", "-", "b\xFF", "--json", "-0", ""}));
    EXPECT_EQ(result.options->output, TWCommandLineOptions::Output::plain);
    EXPECT_EQ(result.options->params, (TWSearchParams{{"TWSizesMatch", ""}}));
}

TEST(CommandLineParsing, BadUsageNamesTheOption) {
    struct Case {
        const char* argument;
        const char* named; // the option the message must name
    };
    const Case cases[] = {
        {"--names", "--names"},
        {"--names=fuzzy", "--names"},
        {"--sizes=yes", "--sizes"},
        {"--contents=1", "--contents"},
        {"--skip-links=no", "--skip-links"},
        {"--min-size", "--min-size"},
        {"--min-size=", "--min-size"},
        {"--min-size=12q", "--min-size"},
        {"--min-size=-1", "--min-size"},
        {"--max-size=1.5g", "--max-size"},
        {"--max-size=9223372036854775808", "--max-size"},
        {"--max-size=18446744073709551616", "--max-size"},
        {"--max-size=8589934592g", "--max-size"},
        {"--include-ext", "--include-ext"},
        {"--exclude-type", "--exclude-type"},
        {"--include-creator", "--include-creator"},
        {"--exclude-ext=", "--exclude-ext"},
        {"--include-ext=,", "--include-ext"},
        {"--readers=0", "--readers"},
        {"--readers", "--readers"},
        {"--json=pretty", "--json"},
        {"--summary=1", "--summary"},
        {"--bogus", "--bogus"},
        {"-x", "-x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        TWCommandLineResult result = parseCommandLine({"folder", c.argument});
        EXPECT_FALSE(result.options);
        EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line: " << result.error;
    }
}

TEST(CommandLineParsing, SizeSuffixesAndOverflow) {
    struct Case {
        const char* text;
        std::optional<std::uint64_t> bytes;
    };
    const Case cases[] = {
        {"0", 0},
        {"1", 1},
        {"1k", 1024},
        {"1K", 1024},
        {"3m", 3ull << 20},
        {"2G", 2ull << 30},
        {"5g", 5ull << 30},
        {"9223372036854775807", 9223372036854775807ull},
        {"8589934591g", (8589934591ull << 30)},
        {"9223372036854775808", std::nullopt},
        {"8589934592g", std::nullopt},
        {"18446744073709551615", std::nullopt},
        {"99999999999999999999k", std::nullopt},
        {"", std::nullopt},
        {"k", std::nullopt},
        {"1.5k", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1kb", std::nullopt},
        {"1t", std::nullopt},
        {"+1", std::nullopt},
        {"-1", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseSizeOption(c.text), c.bytes);
    }
}

TEST(CommandLineParsing, HelpNamesEveryOption) {
    std::string help = commandLineHelp();
    for (const char* option :
         {"--names=exact", "--names=similar", "--sizes", "--contents", "--created", "--modified",
          "--type", "--creator", "--extension", "--resource-forks", "--skip-invisible",
          "--packages-as-files", "--skip-links", "--min-size", "--max-size", "--include-ext",
          "--exclude-ext", "--include-type", "--exclude-type", "--include-creator",
          "--exclude-creator", "--readers", "--summary", "--json", "--null", "--help",
          "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
