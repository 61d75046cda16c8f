#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The mounted local volumes, the start folders of a search over "all local volumes": file
// systems on a local block device (or local by nature, like ZFS datasets), the root file
// system unless it is a network one, and tmpfs mounts that the user made. Never kernel
// pseudo file systems, network file systems or read-only squashfs images (application
// snapshots). Volumes mounted inside others are listed too; the walk drops start paths that
// lie inside other start paths.
class TWLocalVolumes {
public:
    // One line of /proc/self/mounts, with the octal escapes of its fields undone.
    struct Mount {
        std::string source;
        std::string mountPoint;
        std::string type;
        std::vector<std::string> options;

        bool hasOption(std::string_view option) const;
    };

    // The facts about this machine that the choice depends on; tests supply their own.
    struct Probe {
        std::function<bool(const std::string& path)> isBlockDevice;
        // The owner of the folder, or nothing when it cannot be examined.
        std::function<std::optional<unsigned>(const std::string& path)> ownerOf;
        unsigned userId = 0;

        static Probe system();
    };

    static std::vector<Mount> parseMounts(std::string_view text);
    static bool isLocalVolume(const Mount& mount, const Probe& probe);
    // The mount points of the local volumes in the table's order, each once.
    static std::vector<std::string> localVolumePaths(std::string_view mounts, const Probe& probe);
    // The same for this process's mount table; empty when it cannot be read.
    static std::vector<std::string> mountedLocalVolumePaths();
};
