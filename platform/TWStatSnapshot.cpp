#include "platform/TWStatSnapshot.h"

#include "platform/TWFileDescriptor.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr unsigned kWantedFields = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_UID | STATX_GID | STATX_INO |
                                   STATX_SIZE | STATX_MTIME | STATX_BTIME;

TWStatSnapshot snapshotOf(const struct statx& sx) {
    TWStatSnapshot snapshot;
    snapshot.mode = sx.stx_mode;
    snapshot.size = sx.stx_size;
    snapshot.identity = {makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino};
    snapshot.linkCount = sx.stx_nlink;
    snapshot.owner = sx.stx_uid;
    snapshot.group = sx.stx_gid;
    snapshot.modified = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
    if (sx.stx_mask & STATX_BTIME)
        snapshot.created = TWTimestamp{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec};
    return snapshot;
}

} // namespace

bool TWStatSnapshot::isDirectory() const { return S_ISDIR(mode); }
bool TWStatSnapshot::isSymbolicLink() const { return S_ISLNK(mode); }
bool TWStatSnapshot::isRegularFile() const { return S_ISREG(mode); }

std::optional<TWStatSnapshot> TWStatSnapshot::of(TWItemLocation item) {
    struct statx sx;
    int result = retryOnInterrupt([&] {
        return ::statx(item.directoryFd, item.name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                       kWantedFields, &sx);
    });
    if (result != 0)
        return std::nullopt;
    return snapshotOf(sx);
}

std::optional<TWStatSnapshot> TWStatSnapshot::ofDescriptor(int fd) {
    struct statx sx;
    int result = retryOnInterrupt(
        [&] { return ::statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, kWantedFields, &sx); });
    if (result != 0)
        return std::nullopt;
    return snapshotOf(sx);
}
