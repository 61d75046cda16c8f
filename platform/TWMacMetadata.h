#pragma once

#include "platform/TWFinderInfo.h"
#include "platform/TWItemLocation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// Finder information and resource forks on Linux. They come, in this order, from the extended
// attributes "user.com.apple.FinderInfo" and "user.com.apple.ResourceFork" of the item itself
// (never following a final symbolic link), else from an AppleDouble companion file "._NAME"
// in the same folder. A file with neither has no Finder information and an empty resource
// fork. Malformed data counts as absent. Every read is bounded; nothing here opens anything
// but regular files.
//
// Finder information and the resource fork are looked up independently: each comes from its
// attribute when that is present (for Finder information: and at least 32 bytes long), else
// from the companion. A folder-relative item reaches its attributes through /proc/self/fd,
// so without /proc only the companion is seen. `companion` says whether to look for "._NAME"
// at all: absent skips it, unknown and present both try to open it. An item whose name
// begins with "._" has no companion. Safe to call from several threads at once.
namespace TWMacMetadata {

inline constexpr const char* kFinderInfoAttribute = "user.com.apple.FinderInfo";
inline constexpr const char* kResourceForkAttribute = "user.com.apple.ResourceFork";

std::optional<TWFinderInfo> readFinderInfo(TWItemLocation item,
                                           TWCompanionHint companion = TWCompanionHint::unknown);

// Logical size of the resource fork; 0 when there is none or it cannot be learned.
std::uint64_t resourceForkSize(TWItemLocation item,
                               TWCompanionHint companion = TWCompanionHint::unknown);

// Hands the whole resource fork to `consume` in pieces of at most 64 KiB. Returns false when
// the fork exists but could not be read to its end; true (with no calls) for an empty fork.
bool readResourceFork(TWItemLocation item, TWCompanionHint companion,
                      const std::function<void(std::span<const std::uint8_t>)>& consume);

} // namespace TWMacMetadata
