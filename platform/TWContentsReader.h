#pragma once

#include "platform/TWFileDescriptor.h"
#include "platform/TWItemLocation.h"
#include "platform/TWStatSnapshot.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// Reads the bytes of files whose contents are compared. One reader belongs to one thread: it
// owns the buffer every read goes through, so reading a file never allocates. Nothing here
// opens anything but a regular file, and no final symbolic link is ever followed.
//
// Page cache: Linux has no per-descriptor switch that keeps a file's pages out of the cache,
// and dropping pages after reading them (POSIX_FADV_DONTNEED) would also drop pages that were
// cached before, slowing down whatever uses them next. Whole-file reads only ask for
// sequential read-ahead; the cache is otherwise left alone.
class TWContentsReader {
public:
    // What the caller saw of the file before: an open that finds another item (other device
    // or inode, other type, other size) fails.
    struct Expected {
        TWFileIdentity identity;
        std::uint64_t size = 0;
    };
    // Gets each piece of a read, in order; false ends the read, which then fails.
    class Consumer {
    public:
        virtual bool consume(std::span<const std::uint8_t> piece) = 0;

    protected:
        ~Consumer() = default;
    };

    static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

    explicit TWContentsReader(std::size_t bufferSize = kDefaultBufferSize);
    TWContentsReader(const TWContentsReader&) = delete;
    TWContentsReader& operator=(const TWContentsReader&) = delete;

    // Opens `item` read-only, without following a final link, without blocking on a FIFO
    // that appeared in its place, close-on-exec, and without updating its access time where
    // its owner allows that. Invalid when the item is missing or is not a regular file, or,
    // with `expected`, is not that file at that size. `size` gets the size it has now.
    static TWFileDescriptor openRegularFile(TWItemLocation item, const Expected* expected,
                                            std::uint64_t* size = nullptr);

    // Hands the `length` bytes from `offset` to `consumer`, in pieces of at most the buffer
    // size. False when fewer bytes could be read (end of file, read error) or `consume`
    // stopped the read. With `sequential`, tells the kernel the range is read front to back.
    bool readRange(int fd, std::uint64_t offset, std::uint64_t length, Consumer& consumer,
                   bool sequential = false);

    // The target text of the symbolic link at `item`; nothing when it is not a link (or,
    // with `expected`, not that link) or its text cannot be read.
    static std::optional<std::string> readLinkText(TWItemLocation item,
                                                   const TWFileIdentity* expected);

    // Where the file's first byte lies on its device (FIEMAP); nothing where the file
    // system does not tell, or the file has no extent (empty, inline data).
    static std::optional<std::uint64_t> physicalOffset(int fd);

private:
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t bufferSize_;
};

// Whether the block device `device` (as in st_dev) says its queue is rotational, from
// /sys/dev/block; a partition answers for its disk. Nothing when it cannot be told (no
// block device behind it, as for tmpfs and network file systems, or no /sys).
std::optional<bool> isRotationalDevice(std::uint64_t device);

// Whether the block device `device` is a paravirtual disk (virtio, Xen), whose rotational
// flag says nothing about the storage behind it.
bool isVirtualBlockDevice(std::uint64_t device);
