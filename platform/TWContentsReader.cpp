#include "platform/TWContentsReader.h"

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kOpenFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

int openWithoutAtime(TWItemLocation item) {
    // O_NOATIME is refused with EPERM unless we own the file (or may act as its owner); the
    // access time is then updated as any reader would.
    int fd = retryOnInterrupt(
        [&] { return ::openat(item.directoryFd, item.name, kOpenFlags | O_NOATIME); });
    if (fd < 0 && errno == EPERM)
        fd = retryOnInterrupt([&] { return ::openat(item.directoryFd, item.name, kOpenFlags); });
    return fd;
}

} // namespace

TWContentsReader::TWContentsReader(std::size_t bufferSize)
    : buffer_(new std::uint8_t[std::max<std::size_t>(bufferSize, 4096)]),
      bufferSize_(std::max<std::size_t>(bufferSize, 4096)) {}

TWFileDescriptor TWContentsReader::openRegularFile(TWItemLocation item, const Expected* expected,
                                                   std::uint64_t* size) {
    TWFileDescriptor fd(openWithoutAtime(item));
    if (!fd)
        return fd;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return TWFileDescriptor();
    if (expected && (static_cast<std::uint64_t>(info.st_dev) != expected->identity.device ||
                     static_cast<std::uint64_t>(info.st_ino) != expected->identity.inode ||
                     static_cast<std::uint64_t>(info.st_size) != expected->size))
        return TWFileDescriptor();
    if (size)
        *size = static_cast<std::uint64_t>(info.st_size);
    return fd;
}

bool TWContentsReader::readRange(int fd, std::uint64_t offset, std::uint64_t length,
                                 Consumer& consumer, bool sequential) {
    if (sequential && length > bufferSize_)
        ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                        POSIX_FADV_SEQUENTIAL);
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(length, bufferSize_));
        ssize_t got = retryOnInterrupt(
            [&] { return ::pread(fd, buffer_.get(), want, static_cast<off_t>(offset)); });
        if (got <= 0)
            return false; // an error, or the file ended early
        const auto n = static_cast<std::size_t>(got);
        if (!consumer.consume(std::span<const std::uint8_t>(buffer_.get(), n)))
            return false;
        offset += n;
        length -= n;
    }
    return true;
}

std::optional<std::string> TWContentsReader::readLinkText(TWItemLocation item,
                                                          const TWFileIdentity* expected) {
    struct stat info;
    if (::fstatat(item.directoryFd, item.name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(info.st_mode))
        return std::nullopt;
    if (expected && (static_cast<std::uint64_t>(info.st_dev) != expected->device ||
                     static_cast<std::uint64_t>(info.st_ino) != expected->inode))
        return std::nullopt;
    // Link targets are at most PATH_MAX bytes on Linux; one byte more tells truncation apart.
    std::string text(PATH_MAX + 1, '\0');
    ssize_t n = ::readlinkat(item.directoryFd, item.name, text.data(), text.size());
    if (n < 0 || static_cast<std::size_t>(n) == text.size())
        return std::nullopt;
    text.resize(static_cast<std::size_t>(n));
    return text;
}

std::optional<std::uint64_t> TWContentsReader::physicalOffset(int fd) {
    // Room for the map and the one extent asked for, aligned for both.
    alignas(struct fiemap) std::uint8_t storage[sizeof(struct fiemap) + sizeof(struct fiemap_extent)] = {};
    auto* map = reinterpret_cast<struct fiemap*>(storage);
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 1;
    if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0 || map->fm_mapped_extents == 0)
        return std::nullopt;
    struct fiemap_extent extent;
    std::memcpy(&extent, storage + sizeof(struct fiemap), sizeof extent);
    if (extent.fe_flags & (FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DATA_INLINE))
        return std::nullopt;
    return extent.fe_physical;
}

std::optional<bool> isRotationalDevice(std::uint64_t device) {
    const std::string base = "/sys/dev/block/" + std::to_string(major(device)) + ":" +
                             std::to_string(minor(device));
    // A whole disk has its queue folder; a partition's queue is its disk's, one level up.
    for (const char* queue : {"/queue/rotational", "/../queue/rotational"}) {
        TWFileDescriptor fd(::open((base + queue).c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd)
            continue;
        char digit = 0;
        if (::read(fd.get(), &digit, 1) == 1 && (digit == '0' || digit == '1'))
            return digit == '1';
    }
    return std::nullopt;
}

bool isVirtualBlockDevice(std::uint64_t device) {
    const std::string link =
        "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    char* resolved = ::realpath(link.c_str(), nullptr);
    if (!resolved)
        return false;
    const std::string path = resolved;
    std::free(resolved);
    return path.find("/virtio") != std::string::npos || path.find("/xen") != std::string::npos ||
           path.find("/vbd-") != std::string::npos;
}
