#include "cli/TWConsoleHost.h"
#include "cli/TWResultPrinter.h"

#include "support/TWFixtureTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Everything written to a memory stream, bytes as they are.
class CapturedOutput {
public:
    CapturedOutput() : stream_(::open_memstream(&buffer_, &size_)) {}
    ~CapturedOutput() {
        std::fclose(stream_);
        std::free(buffer_);
    }
    std::FILE* stream() { return stream_; }
    std::string text() {
        std::fflush(stream_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
};

class ResultPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a/photo.jpg", "b/photo.jpg"})
            tree.fileOfSize(name, 30);
        for (const std::string& name : {std::string("x/caf\xE9"), std::string("y/caf\xE9")})
            tree.fileOfSize(name, 5);
        groups.push_back(groupOf({"a/photo.jpg", "b/photo.jpg"}));
        groups.push_back(groupOf({"x/caf\xE9", "y/caf\xE9"}));
    }

    TWDuplicateGroupRef groupOf(const std::vector<std::string>& names) {
        auto group = TWDuplicateGroup::groupWithNode(
            TWFileSystemPath::initWithAbsolutePath(tree.path(names[0])));
        for (std::size_t i = 1; i < names.size(); ++i)
            group->addNode(TWFileSystemPath::initWithAbsolutePath(tree.path(names[i])));
        return group;
    }

    std::string print(TWCommandLineOptions::Output output, bool summary = false,
                      const std::vector<TWDuplicateGroupRef>* which = nullptr) {
        TWCommandLineOptions options;
        options.output = output;
        options.summary = summary;
        CapturedOutput out;
        printGroups(out.stream(), which ? *which : groups, options);
        return out.text();
    }

    TWFixtureTree tree;
    std::vector<TWDuplicateGroupRef> groups;
};

TEST_F(ResultPrinterTest, PlainOnePathALineAndABlankLineAfterEachGroup) {
    std::string expected = tree.path("a/photo.jpg") + "\n" + tree.path("b/photo.jpg") + "\n\n" +
                           tree.path("x/caf\xE9") + "\n" + tree.path("y/caf\xE9") + "\n\n";
    EXPECT_EQ(print(TWCommandLineOptions::Output::plain), expected);
    std::vector<TWDuplicateGroupRef> none;
    EXPECT_EQ(print(TWCommandLineOptions::Output::plain, false, &none), "");
}

TEST_F(ResultPrinterTest, SummaryLineBeforeEachGroup) {
    std::string expected = "2 like 'photo.jpg' (60 bytes)\n" + tree.path("a/photo.jpg") + "\n" +
                           tree.path("b/photo.jpg") + "\n\n" +
                           "2 like 'caf\xEF\xBF\xBD' (10 bytes)\n" + tree.path("x/caf\xE9") +
                           "\n" + tree.path("y/caf\xE9") + "\n\n";
    EXPECT_EQ(print(TWCommandLineOptions::Output::plain, true), expected);
}

TEST_F(ResultPrinterTest, NulSeparatedKeepsRawBytes) {
    std::string expected = tree.path("a/photo.jpg") + '\0' + tree.path("b/photo.jpg") + '\0' +
                           '\0' + tree.path("x/caf\xE9") + '\0' + tree.path("y/caf\xE9") + '\0' +
                           '\0';
    EXPECT_EQ(print(TWCommandLineOptions::Output::nulSeparated), expected);
}

TEST_F(ResultPrinterTest, JsonArraysWithBytesThatAreNotUtf8Escaped) {
    std::string root = tree.root();
    std::string expected = "[\n  [\"" + root + "/a/photo.jpg\", \"" + root +
                           "/b/photo.jpg\"],\n  [\"" + root + "/x/caf\\udce9\", \"" + root +
                           "/y/caf\\udce9\"]\n]\n";
    EXPECT_EQ(print(TWCommandLineOptions::Output::json), expected);
    std::vector<TWDuplicateGroupRef> none;
    EXPECT_EQ(print(TWCommandLineOptions::Output::json, false, &none), "[]\n");
}

TEST(JsonStringForBytes, EscapesWhatJsonNeedsAndEveryInvalidByte) {
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"", "\"\""},
        {"quote\" back\\slash", "\"quote\\\" back\\\\slash\""},
        {"tab\tline\ncr\r", "\"tab\\tline\\ncr\\r\""},
        {std::string("nul\0one\x01\x1f", 9), "\"nul\\u0000one\\u0001\\u001f\""},
        {"\x7f", "\"\x7f\""},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},               // valid two-byte sequence
        {"\xE2\x82\xAC", "\"\xE2\x82\xAC\""},             // valid three-byte sequence
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},     // valid four-byte sequence
        {"caf\xE9", "\"caf\\udce9\""},                    // Latin-1 byte
        {"\xE2\x82", "\"\\udce2\\udc82\""},               // cut short
        {"\xC0\xAF", "\"\\udcc0\\udcaf\""},               // overlong
        {"\xED\xA0\x80", "\"\\udced\\udca0\\udc80\""},    // a surrogate in UTF-8
        {"\xF4\x90\x80\x80", "\"\\udcf4\\udc90\\udc80\\udc80\""}, // beyond U+10FFFF
        {"\x80x", "\"\\udc80x\""},                        // lone continuation byte
        {"\xFF", "\"\\udcff\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(jsonStringForBytes(c.bytes), c.json);
    }
}

TEST(ConsoleSearchWindow, ProgressOnlyOnATerminalAndTheClosingLineAlways) {
    TWStatusText progress{"Found %qu matches in %qu groups...", {std::uint64_t{3}, std::uint64_t{1}}};
    TWStatusText closing{"Found %d files in %d matching groups (%@).",
                         {std::int64_t{3}, std::int64_t{1}, std::string("3 bytes")}};
    {
        CapturedOutput out;
        TWConsoleSearchWindow window(out.stream(), false);
        window.setStatusFieldText(progress);
        window.searchDidEnd();
        window.setStatusFieldText(closing);
        EXPECT_TRUE(window.hasEnded());
        EXPECT_EQ(out.text(), "Found 3 files in 1 matching groups (3 bytes).\n");
    }
    {
        CapturedOutput out;
        TWConsoleSearchWindow window(out.stream(), true);
        window.setStatusFieldText(progress);
        window.searchDidEnd();
        window.setStatusFieldText(closing);
        EXPECT_EQ(out.text(), "\r\033[KFound 3 matches in 1 groups...\r\033[K"
                              "Found 3 files in 1 matching groups (3 bytes).\n");
    }
}

} // namespace
