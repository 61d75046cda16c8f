#include "platform/TWLocalVolumes.h"

#include "platform/TWFileDescriptor.h"
#include "platform/TWKernelTextFile.h"
#include "platform/TWPseudoFileSystems.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Network file systems never count as local, even when mounted on the root.
constexpr std::string_view kNetworkTypes[] = {
    "nfs",  "nfs4",      "cifs",      "smb3",       "smbfs",       "ncpfs",     "afs",
    "ceph", "glusterfs", "9p",        "coda",       "davfs",       "fuse.sshfs", "fuse.rclone",
    "fuse.s3fs", "fuse.gvfsd-fuse", "fuse.curlftpfs", "fuse.davfs2", "lustre", "gfs2", "ocfs2",
};

// File systems that are local without a block device behind them.
constexpr std::string_view kDevicelessLocalTypes[] = {"zfs", "bcachefs"};

bool isOneOf(std::string_view type, const auto& list) {
    return std::find(std::begin(list), std::end(list), type) != std::end(list);
}

// "host:/path" (NFS) and "//host/share" (SMB) name a remote source whatever the type says.
bool namesRemoteSource(std::string_view source) {
    if (source.starts_with("//"))
        return true;
    std::size_t colon = source.find(':');
    return colon != std::string_view::npos && !source.starts_with("/");
}

// The kernel writes space, tab, newline and backslash in the fields as three octal digits.
std::string unescapeField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        text += field[i];
    }
    return text;
}

std::vector<std::string_view> splitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start || separator == ',')
            fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

} // namespace

bool TWLocalVolumes::Mount::hasOption(std::string_view option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

TWLocalVolumes::Probe TWLocalVolumes::Probe::system() {
    Probe probe;
    probe.isBlockDevice = [](const std::string& path) {
        struct stat info;
        return ::stat(path.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
    };
    probe.ownerOf = [](const std::string& path) -> std::optional<unsigned> {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0)
            return std::nullopt;
        return static_cast<unsigned>(info.st_uid);
    };
    probe.userId = static_cast<unsigned>(::getuid());
    return probe;
}

std::vector<TWLocalVolumes::Mount> TWLocalVolumes::parseMounts(std::string_view text) {
    std::vector<Mount> mounts;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        std::vector<std::string_view> fields = splitFields(line, ' ');
        if (fields.size() < 4)
            continue;
        Mount mount;
        mount.source = unescapeField(fields[0]);
        mount.mountPoint = unescapeField(fields[1]);
        mount.type = unescapeField(fields[2]);
        for (std::string_view option : splitFields(fields[3], ','))
            mount.options.push_back(unescapeField(option));
        if (mount.mountPoint.empty() || mount.mountPoint[0] != '/')
            continue;
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

bool TWLocalVolumes::isLocalVolume(const Mount& mount, const Probe& probe) {
    if (isPseudoFileSystemType(mount.type) || isOneOf(mount.type, kNetworkTypes) ||
        namesRemoteSource(mount.source))
        return false;
    // Snap and similar packaging mount each application as a read-only squashfs image; those
    // hold installed software, not the user's files.
    if (mount.type == "squashfs" && mount.hasOption("ro"))
        return false;
    if (mount.mountPoint == "/")
        return true;
    if (mount.type == "tmpfs") {
        // The session's runtime folder is the system's, although it belongs to the user.
        if (probe.userId == 0 ||
            mount.mountPoint.starts_with("/run/user/" + std::to_string(probe.userId)))
            return false;
        std::optional<unsigned> owner = probe.ownerOf ? probe.ownerOf(mount.mountPoint)
                                                      : std::nullopt;
        return owner && *owner == probe.userId;
    }
    if (isOneOf(mount.type, kDevicelessLocalTypes))
        return true;
    return mount.source.starts_with("/dev/") && probe.isBlockDevice &&
           probe.isBlockDevice(mount.source);
}

std::vector<std::string> TWLocalVolumes::localVolumePaths(std::string_view mounts,
                                                          const Probe& probe) {
    std::vector<std::string> paths;
    for (const Mount& mount : parseMounts(mounts)) {
        if (!isLocalVolume(mount, probe))
            continue;
        if (std::find(paths.begin(), paths.end(), mount.mountPoint) == paths.end())
            paths.push_back(mount.mountPoint);
    }
    return paths;
}

std::vector<std::string> TWLocalVolumes::mountedLocalVolumePaths() {
    return localVolumePaths(readKernelTextFile("/proc/self/mounts"), Probe::system());
}
