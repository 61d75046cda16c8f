#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// Kernel pseudo file systems (proc, sysfs, devtmpfs, cgroup, ...) hold no user files and can
// hang or mislead a walk; the walk never enters them.
bool isPseudoFileSystemType(std::string_view type);

// The mounted file systems by device, read from /proc/self/mountinfo, so that a folder whose
// device differs from its parent's can be told by its file-system type. devtmpfs and tmpfs
// share a magic number, so the type name is the better witness; the magic number of an open
// folder (fstatfs) is the fallback for devices the table does not list.
class TWMountTable {
public:
    static TWMountTable read();
    static TWMountTable parse(std::string_view mountinfo);

    // Whether the folder open as `folderFd`, on device `device`, lies on a pseudo file system.
    bool isOnPseudoFileSystem(int folderFd, std::uint64_t device) const;

private:
    std::unordered_map<std::uint64_t, std::string> typeByDevice_;
};
