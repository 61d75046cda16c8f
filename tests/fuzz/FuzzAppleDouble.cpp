// Arbitrary bytes as a Finder information block and as the start of an AppleDouble companion
// file. The first eight bytes (when there are that many) choose the size the file claims to
// have, so that entries reaching past the header, past the file, or near 2^32 are all tried.

#include "platform/TWAppleDouble.h"
#include "platform/TWFinderInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkCodeText(std::uint32_t code) {
    const std::string text = fourCharCodeText(code);
    check(code == 0 ? text.empty() : text.size() >= 6 && text.size() <= 18);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    if (std::optional<TWFinderInfo> info = parseFinderInfo(input)) {
        checkCodeText(info->typeCode);
        checkCodeText(info->creatorCode);
    }

    std::uint64_t claimed = 0;
    std::span<const std::uint8_t> header = input;
    if (header.size() >= 8) {
        for (std::size_t i = 0; i < 8; ++i)
            claimed = (claimed << 8) | header[i];
        header = header.subspan(8);
    }
    if (header.size() > kAppleDoubleHeaderReadSize)
        header = header.first(kAppleDoubleHeaderReadSize);
    // Mostly a file somewhat longer than its header, as on disk; sometimes any size at all.
    const std::uint64_t fileSize = (claimed >> 63) != 0 ? claimed & 0x7fffffffffffffffULL
                                                        : header.size() + (claimed & 0xffffffULL);

    if (std::optional<TWAppleDoubleContents> contents = parseAppleDouble(header, fileSize)) {
        check(header.size() <= fileSize);
        check(contents->resourceForkOffset <= fileSize);
        check(contents->resourceForkLength <= fileSize - contents->resourceForkOffset);
        if (contents->finderInfo)
            checkCodeText(contents->finderInfo->typeCode);
    }
    return 0;
}
