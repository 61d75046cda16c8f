#pragma once

#include "model/TWFileSystemPath.h"
#include "platform/TWContentsReader.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// A 128-bit digest of an item's contents (XXH3-128). Two items are taken to have the same
// contents exactly when their digests are equal.
struct TWContentsDigest {
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    bool operator==(const TWContentsDigest&) const = default;
    // 32 lowercase hexadecimal digits, high half first.
    std::string hex() const;
};

template <> struct std::hash<TWContentsDigest> {
    std::size_t operator()(const TWContentsDigest& d) const noexcept {
        return static_cast<std::size_t>(d.low ^ (d.high * 0x9E3779B97F4A7C15ull));
    }
};

// The contents of a node as the contents pass compares them, in three steps of rising cost:
// a digest of the first kEdgeBytes, one of the last kEdgeBytes, one of everything.
//
// What counts as contents depends on what the node was when the walk met it:
// - a regular file: its bytes. Every read checks that the item is still the file the walk
//   saw (device, inode) at the size it saw; otherwise there is no digest.
// - a symbolic link: its target text, never the bytes of what it points to.
// - a folder (a package taken as one file): the relative path and contents of every file and
//   link inside, in byte order of the relative paths. A package that holds a FIFO, socket or
//   device, or a file that cannot be read, has no digest.
// - anything else (FIFO, socket, device): never opened, never a digest.
// Items of different kinds never share a digest, even when their bytes agree.
//
// Every function reads the item at `item` (the node's location, or the same item reached
// through an open folder) through `reader`'s buffer. Safe to call from several threads at
// once with one reader per thread; the node is only asked what the walk saw.
namespace TWNodeContents {

inline constexpr std::uint64_t kEdgeBytes = 4096;

enum class Kind { regularFile, symbolicLink, package, none };
Kind kindOf(const TWFileSystemPath& node);

// The digest of the first min(size, kEdgeBytes) bytes of a regular file: for a file no
// larger than kEdgeBytes, this is its whole-contents digest. With `physicalOffset`, also
// learns where the file starts on its device (left alone when that is not known).
std::optional<TWContentsDigest> headDigest(const TWFileSystemPath& node, TWItemLocation item,
                                           TWContentsReader& reader,
                                           std::optional<std::uint64_t>* physicalOffset = nullptr);
// The digest of the last kEdgeBytes bytes of a regular file larger than kEdgeBytes.
std::optional<TWContentsDigest> tailDigest(const TWFileSystemPath& node, TWItemLocation item,
                                           TWContentsReader& reader);
// The digest of all contents, for every kind but none. `keepGoing` is asked between pieces;
// false abandons the read (no digest).
std::optional<TWContentsDigest> contentsDigest(const TWFileSystemPath& node, TWItemLocation item,
                                               TWContentsReader& reader,
                                               const std::function<bool()>& keepGoing = {});
// The digest of the node's resource fork; nothing when it cannot be read to its end. Asks
// the node for its location: the node must not be in use by another thread.
std::optional<TWContentsDigest> resourceForkDigest(const TWFileSystemPath& node);

} // namespace TWNodeContents
