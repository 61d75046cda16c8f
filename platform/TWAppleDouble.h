#pragma once

#include "platform/TWFinderInfo.h"

#include <cstdint>
#include <optional>
#include <span>

// What an AppleDouble companion file ("._NAME", magic 0x00051607, version 0x00020000) says
// about its file: entry 9 (Finder information, its first 32 bytes) and entry 2 (the
// resource fork, by offset and length into the companion file).
struct TWAppleDoubleContents {
    std::optional<TWFinderInfo> finderInfo;
    std::uint64_t resourceForkOffset = 0;
    std::uint64_t resourceForkLength = 0; // 0 when the file has no resource fork entry
};

// The most bytes of a companion file the parser needs to see to find its Finder information.
inline constexpr std::size_t kAppleDoubleHeaderReadSize = 64 * 1024;

// Parses the start of a companion file. `header` holds the first bytes of the file (up to
// kAppleDoubleHeaderReadSize) and `fileSize` is the whole file's size. A header shorter than
// the fixed part or longer than `fileSize`, a wrong magic or version, more entries than the
// header can hold, or an entry that reaches past the end of the file makes the whole file
// malformed: the result is nothing. A Finder information entry must lie within `header` and
// hold at least 32 bytes, else the file has no Finder information (its resource fork entry
// still counts). Only the first entry of each id is used.
std::optional<TWAppleDoubleContents> parseAppleDouble(std::span<const std::uint8_t> header,
                                                      std::uint64_t fileSize);
