#include "platform/TWFinderInfo.h"

namespace {

std::uint32_t bigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

} // namespace

std::optional<TWFinderInfo> parseFinderInfo(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < TWFinderInfo::kSize)
        return std::nullopt;
    TWFinderInfo info;
    info.typeCode = bigEndian32(bytes, 0);
    info.creatorCode = bigEndian32(bytes, 4);
    info.finderFlags = static_cast<std::uint16_t>((bytes[8] << 8) | bytes[9]);
    return info;
}

std::string fourCharCodeText(std::uint32_t code) {
    if (code == 0)
        return {};
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 + 4 * 4);
    text.push_back('\'');
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<std::uint8_t>(code >> shift);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte <= 0x7E) {
            text.push_back(static_cast<char>(byte));
        } else {
            text += "\\x";
            text.push_back(kHexDigits[byte >> 4]);
            text.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    text.push_back('\'');
    return text;
}
