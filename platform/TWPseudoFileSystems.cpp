#include "platform/TWPseudoFileSystems.h"

#include "platform/TWFileDescriptor.h"
#include "platform/TWKernelTextFile.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <charconv>

namespace {

constexpr std::string_view kPseudoTypes[] = {
    "proc",      "sysfs",  "devtmpfs", "devpts",   "cgroup",     "cgroup2",
    "debugfs",   "tracefs", "securityfs", "pstore", "bpf",        "configfs",
    "fusectl",   "mqueue", "hugetlbfs", "binfmt_misc", "efivarfs", "autofs",
};

// Magic numbers of the same file systems, for devices the mount table does not name.
// devtmpfs is missing on purpose: it reports the tmpfs magic.
constexpr unsigned long kPseudoMagics[] = {
    PROC_SUPER_MAGIC,   SYSFS_MAGIC,      DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC,
    CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC,   TRACEFS_MAGIC,      SECURITYFS_MAGIC,
    PSTOREFS_MAGIC,     BPF_FS_MAGIC,     0x62656570 /* configfs */, 0x65735543 /* fusectl */,
    0x19800202 /* mqueue */, HUGETLBFS_MAGIC, BINFMTFS_MAGIC, EFIVARFS_MAGIC,
    AUTOFS_SUPER_MAGIC,
};

std::string_view nextField(std::string_view& line) {
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    std::size_t end = line.find(' ');
    std::string_view field = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    return field;
}

} // namespace

bool isPseudoFileSystemType(std::string_view type) {
    for (std::string_view pseudo : kPseudoTypes)
        if (type == pseudo)
            return true;
    return false;
}

TWMountTable TWMountTable::read() {
    return parse(readKernelTextFile("/proc/self/mountinfo"));
}

TWMountTable TWMountTable::parse(std::string_view mountinfo) {
    TWMountTable table;
    while (!mountinfo.empty()) {
        std::size_t end = mountinfo.find('\n');
        std::string_view line = mountinfo.substr(0, end);
        mountinfo.remove_prefix(end == std::string_view::npos ? mountinfo.size() : end + 1);

        nextField(line); // mount id
        nextField(line); // parent id
        std::string_view device = nextField(line);
        std::size_t colon = device.find(':');
        unsigned major = 0, minor = 0;
        if (colon == std::string_view::npos ||
            std::from_chars(device.data(), device.data() + colon, major).ec != std::errc() ||
            std::from_chars(device.data() + colon + 1, device.data() + device.size(), minor).ec !=
                std::errc())
            continue;
        std::size_t separator = line.find(" - ");
        if (separator == std::string_view::npos)
            continue;
        line.remove_prefix(separator + 3);
        std::string_view type = nextField(line);
        table.typeByDevice_[makedev(major, minor)] = std::string(type);
    }
    return table;
}

bool TWMountTable::isOnPseudoFileSystem(int folderFd, std::uint64_t device) const {
    if (auto found = typeByDevice_.find(device); found != typeByDevice_.end())
        return isPseudoFileSystemType(found->second);
    struct statfs info;
    if (retryOnInterrupt([&] { return ::fstatfs(folderFd, &info); }) != 0)
        return false;
    for (unsigned long magic : kPseudoMagics)
        if (static_cast<unsigned long>(info.f_type) == magic)
            return true;
    return false;
}
