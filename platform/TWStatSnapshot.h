#pragma once

#include "platform/TWItemLocation.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>

// Which item a path named when it was met: device and inode.
struct TWFileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const TWFileIdentity&) const = default;
};

template <> struct std::hash<TWFileIdentity> {
    std::size_t operator()(const TWFileIdentity& id) const noexcept {
        return std::hash<std::uint64_t>()(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
    }
};

// A point in time, as the file system keeps it.
struct TWTimestamp {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    bool operator==(const TWTimestamp&) const = default;
    auto operator<=>(const TWTimestamp&) const = default;
};

// The attributes of one item, from one statx call that does not follow a final link.
struct TWStatSnapshot {
    std::uint32_t mode = 0;
    std::uint64_t size = 0;
    TWFileIdentity identity;
    std::uint32_t linkCount = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    TWTimestamp modified;
    std::optional<TWTimestamp> created; // the birth time, where the file system reports one

    bool isDirectory() const;
    bool isSymbolicLink() const;
    bool isRegularFile() const;

    // Nothing when the item is gone or cannot be examined.
    static std::optional<TWStatSnapshot> of(TWItemLocation item);
    // Of an open descriptor.
    static std::optional<TWStatSnapshot> ofDescriptor(int fd);
};
