#include "platform/TWRegularFileOpen.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

int openWithFallback(const char* path, int dirFd, int flags) {
    int fd = retryOnInterrupt([&] { return ::openat(dirFd, path, flags); });
    if (fd < 0 && errno == EPERM && (flags & O_NOATIME))
        fd = retryOnInterrupt([&] { return ::openat(dirFd, path, flags & ~O_NOATIME); });
    return fd;
}

} // namespace

TWFileDescriptor openRegularFileForReading(TWItemLocation item, int extraFlags, struct stat* info) {
    TWFileDescriptor reference(retryOnInterrupt(
        [&] { return ::openat(item.directoryFd, item.name, O_PATH | O_NOFOLLOW | O_CLOEXEC); }));
    if (!reference)
        return {};
    struct stat seen;
    if (::fstat(reference.get(), &seen) != 0 || !S_ISREG(seen.st_mode))
        return {};

    // Reopening the reference's /proc entry opens exactly the inode examined above.
    std::string proc = "/proc/self/fd/" + std::to_string(reference.get());
    TWFileDescriptor fd(openWithFallback(proc.c_str(), AT_FDCWD, kReadFlags | extraFlags));
    if (!fd && errno == ENOENT) {
        // No /proc: open by name, and keep it only if it is still the file examined.
        fd.reset(openWithFallback(item.name, item.directoryFd,
                                  kReadFlags | O_NOFOLLOW | extraFlags));
    }
    if (!fd)
        return {};
    struct stat opened;
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino)
        return {};
    if (info)
        *info = opened;
    return fd;
}
