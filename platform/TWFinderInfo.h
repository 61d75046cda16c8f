#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The 32-byte Finder information block: type code (bytes 0-3), creator code (4-7) and the
// Finder flags (big-endian 16-bit word at offset 8). Other bytes are not used.
struct TWFinderInfo {
    static constexpr std::size_t kSize = 32;
    static constexpr std::uint16_t kIsInvisible = 0x4000;
    static constexpr std::uint16_t kIsAlias = 0x8000;

    std::uint32_t typeCode = 0;    // most significant byte is the first character
    std::uint32_t creatorCode = 0;
    std::uint16_t finderFlags = 0;

    bool isInvisible() const { return (finderFlags & kIsInvisible) != 0; }
    bool isAlias() const { return (finderFlags & kIsAlias) != 0; }
};

// Parses a Finder information block. Fewer than 32 bytes is malformed and gives nothing;
// bytes past the 32nd are ignored.
std::optional<TWFinderInfo> parseFinderInfo(std::span<const std::uint8_t> bytes);

// The text of a four-character code: the four bytes between apostrophes, first byte first,
// or the empty string for the code 0. Printable ASCII bytes (0x20-0x7E) stand for
// themselves except the backslash, which is written "\\"; every other byte is written
// "\xHH" with two upper-case hex digits, so that distinct codes always give distinct texts.
std::string fourCharCodeText(std::uint32_t code);
