#include "platform/TWAppleDouble.h"

namespace {

constexpr std::uint32_t kMagic = 0x00051607;
constexpr std::uint32_t kVersion = 0x00020000;
constexpr std::size_t kEntryCountOffset = 24;
constexpr std::size_t kEntriesOffset = 26;
constexpr std::size_t kEntrySize = 12;
constexpr std::uint32_t kResourceForkEntry = 2;
constexpr std::uint32_t kFinderInfoEntry = 9;

std::uint32_t bigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

} // namespace

std::optional<TWAppleDoubleContents> parseAppleDouble(std::span<const std::uint8_t> header,
                                                      std::uint64_t fileSize) {
    if (header.size() < kEntriesOffset || header.size() > fileSize)
        return std::nullopt;
    if (bigEndian32(header, 0) != kMagic || bigEndian32(header, 4) != kVersion)
        return std::nullopt;
    const std::size_t count =
        (std::size_t{header[kEntryCountOffset]} << 8) | header[kEntryCountOffset + 1];
    // At most 65535 entries of 12 bytes: the product cannot overflow, and a count the header
    // cannot hold is refused here before any entry is looked at.
    if (count * kEntrySize > header.size() - kEntriesOffset)
        return std::nullopt;

    TWAppleDoubleContents contents;
    bool sawFinderInfo = false;
    bool sawResourceFork = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kEntriesOffset + i * kEntrySize;
        const std::uint32_t id = bigEndian32(header, at);
        const std::uint64_t offset = bigEndian32(header, at + 4);
        const std::uint64_t length = bigEndian32(header, at + 8);
        // Both are 32-bit, so the sum fits in 64 bits.
        if (offset + length > fileSize)
            return std::nullopt;
        // Only the first entry of each kind counts; writers never repeat one.
        if (id == kFinderInfoEntry && !sawFinderInfo) {
            sawFinderInfo = true;
            if (offset + length <= header.size())
                contents.finderInfo = parseFinderInfo(header.subspan(offset, length));
        } else if (id == kResourceForkEntry && !sawResourceFork) {
            sawResourceFork = true;
            contents.resourceForkOffset = offset;
            contents.resourceForkLength = length;
        }
    }
    return contents;
}
