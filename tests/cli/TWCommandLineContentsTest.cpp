#include "cli/TWCommandLine.h"

#include "engine/TWSearchSettings.h"

#include <gtest/gtest.h>

namespace {

TWSearchSettings settingsOf(const std::vector<std::string>& arguments) {
    TWCommandLineResult result = parseCommandLine(arguments);
    EXPECT_TRUE(result.options) << result.error;
    TWSearchSettings settings;
    if (result.options)
        settings.readParamDict(result.options->params);
    return settings;
}

TEST(TWCommandLineContentsTest, IdenticalContentsAreTheDefaultCriterion) {
    TWSearchSettings settings = settingsOf({"folder"});
    EXPECT_TRUE(settings.matchContents);
    EXPECT_TRUE(settings.matchSizes);
    EXPECT_FALSE(settings.matchExactNames);
}

TEST(TWCommandLineContentsTest, ContentsCombineWithOtherCriteria) {
    TWSearchSettings settings = settingsOf({"--contents", "--names=exact", "--resource-forks", "f"});
    EXPECT_TRUE(settings.matchContents);
    EXPECT_TRUE(settings.matchExactNames);
    EXPECT_TRUE(settings.matchResourceFork);
    // Another criterion alone no longer implies contents.
    EXPECT_FALSE(settingsOf({"--sizes", "f"}).matchContents);
}

TEST(TWCommandLineContentsTest, ReadersAreParsedAndBounded) {
    struct Case {
        const char* argument;
        unsigned readers; // 0: refused
    };
    const Case cases[] = {{"--readers=1", 1}, {"--readers=64", 64}, {"--readers=0", 0},
                          {"--readers=65", 0}, {"--readers=", 0},   {"--readers=2x", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        TWCommandLineResult result = parseCommandLine({c.argument, "f"});
        if (c.readers == 0) {
            EXPECT_FALSE(result.options);
        } else {
            ASSERT_TRUE(result.options);
            EXPECT_EQ(result.options->readers, c.readers);
        }
    }
    EXPECT_FALSE(parseCommandLine({"--contents=yes"}).options);
}

TEST(TWCommandLineContentsTest, ReadOrderIsOneOfFour) {
    EXPECT_FALSE(parseCommandLine({"f"}).options->readOrder);
    EXPECT_EQ(parseCommandLine({"--read-order=physical", "f"}).options->readOrder,
              TWContentsReadOrder::physical);
    EXPECT_EQ(parseCommandLine({"--read-order=listing", "f"}).options->readOrder,
              TWContentsReadOrder::listing);
    EXPECT_FALSE(parseCommandLine({"--read-order=random", "f"}).options);
    EXPECT_FALSE(parseCommandLine({"--read-order", "f"}).options);
}

} // namespace
