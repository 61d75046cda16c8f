#include "model/TWSizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

struct SizeTextCase {
    std::uint64_t bytes;
    const char* text;
};

TEST(SizeText, StepsOf1024WithTheThresholdTestedBeforeRounding) {
    const SizeTextCase cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {2, "2 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00kb"},
        {1536, "1.50kb"},
        {1048575, "1024.00kb"},
        {1048576, "1.00mb"},
        {1073741823, "1024.00mb"},
        {1073741824, "1.00gb"},
        {1099511627776ull, "1024.00gb"},
        {std::numeric_limits<std::uint64_t>::max(), "17179869184.00gb"},
    };
    for (const SizeTextCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(stringForFileSize(c.bytes), c.text);
    }
}

} // namespace
