#include "platform/TWLocalVolumes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// A desktop's mount table with one mount of every kind worth telling apart.
constexpr const char* kDesktopMounts =
    "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n"
    "udev /dev devtmpfs rw,nosuid,relatime,size=8000000k,mode=755 0 0\n"
    "/dev/nvme0n1p2 / ext4 rw,relatime,errors=remount-ro 0 0\n"
    "tmpfs /dev/shm tmpfs rw,nosuid,nodev 0 0\n"
    "tmpfs /run tmpfs rw,nosuid,nodev,noexec,relatime,size=1600000k,mode=755 0 0\n"
    "cgroup2 /sys/fs/cgroup cgroup2 rw,nosuid,nodev,noexec,relatime 0 0\n"
    "/dev/nvme0n1p1 /boot/efi vfat rw,relatime,fmask=0077,dmask=0077 0 0\n"
    "/dev/mapper/vg-home /home btrfs rw,relatime,space_cache=v2,subvol=/home 0 0\n"
    "/dev/loop3 /snap/core22/1380 squashfs ro,nodev,relatime,errors=continue 0 0\n"
    "tmpfs /run/user/1000 tmpfs rw,nosuid,nodev,relatime,size=1600000k,mode=700,uid=1000 0 0\n"
    "portal /run/user/1000/doc fuse.portal rw,nosuid,nodev,relatime,user_id=1000 0 0\n"
    "server:/export /mnt/nfs nfs4 rw,relatime,vers=4.2 0 0\n"
    "//nas/music /mnt/music cifs rw,relatime,vers=3.1.1 0 0\n"
    "user@host:/srv /home/ann/remote fuse.sshfs rw,nosuid,nodev,relatime 0 0\n"
    "/dev/sdb1 /media/ann/USB\\040Stick vfat rw,nosuid,nodev,relatime,uid=1000 0 0\n"
    "/dev/sdc1 /media/ann/Windows fuseblk rw,nosuid,nodev,relatime,user_id=0 0 0\n"
    "/dev/sr0 /media/ann/CD iso9660 ro,nosuid,nodev,relatime 0 0\n"
    "tmpfs /home/ann/scratch tmpfs rw,relatime,size=1g,uid=1000 0 0\n"
    "tmpfs /tmp tmpfs rw,nosuid,nodev 0 0\n"
    "rpool/data /data zfs rw,xattr,noacl 0 0\n"
    "/dev/not-a-device /mnt/odd ext4 rw 0 0\n"
    "/dev/nvme0n1p2 /home btrfs rw,relatime 0 0\n";

TWLocalVolumes::Probe fakeProbe(unsigned userId) {
    TWLocalVolumes::Probe probe;
    probe.isBlockDevice = [](const std::string& path) { return path != "/dev/not-a-device"; };
    probe.ownerOf = [](const std::string& path) -> std::optional<unsigned> {
        static const std::map<std::string, unsigned> owners = {
            {"/dev/shm", 0},           {"/run", 0},       {"/run/user/1000", 1000},
            {"/home/ann/scratch", 1000}, {"/tmp", 0},
        };
        auto found = owners.find(path);
        if (found == owners.end())
            return std::nullopt;
        return found->second;
    };
    probe.userId = userId;
    return probe;
}

TEST(TWLocalVolumesTest, DesktopTableKeepsLocalVolumesOnlyInTableOrderEachOnce) {
    const std::vector<std::string> expected = {
        "/",
        "/boot/efi",
        "/home",
        "/media/ann/USB Stick",
        "/media/ann/Windows",
        "/media/ann/CD",
        "/home/ann/scratch",
        "/data",
    };
    EXPECT_EQ(TWLocalVolumes::localVolumePaths(kDesktopMounts, fakeProbe(1000)), expected);
}

TEST(TWLocalVolumesTest, SuperuserGetsNoTmpfs) {
    std::vector<std::string> paths =
        TWLocalVolumes::localVolumePaths(kDesktopMounts, fakeProbe(0));
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/home/ann/scratch"), 0);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/"), 1);
}

TEST(TWLocalVolumesTest, RootFileSystemCountsUnlessItIsANetworkOne) {
    struct Case {
        const char* line;
        bool local;
    };
    const Case cases[] = {
        {"overlay / overlay rw,relatime,lowerdir=/a,upperdir=/b,workdir=/c 0 0", true},
        {"/dev/root / ext4 rw 0 0", true},
        {"server:/root / nfs rw 0 0", false},
        {"10.0.0.1:/root / nfs4 rw 0 0", false},
        {"rootfs / 9p rw,trans=virtio 0 0", false},
        {"/dev/loop0 / squashfs ro 0 0", false},
    };
    TWLocalVolumes::Probe probe = fakeProbe(1000);
    probe.isBlockDevice = [](const std::string&) { return false; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<TWLocalVolumes::Mount> mounts = TWLocalVolumes::parseMounts(c.line);
        ASSERT_EQ(mounts.size(), 1u);
        EXPECT_EQ(TWLocalVolumes::isLocalVolume(mounts[0], probe), c.local);
    }
}

TEST(TWLocalVolumesTest, ParsingUndoesEscapesAndSkipsBrokenLines) {
    std::vector<TWLocalVolumes::Mount> mounts = TWLocalVolumes::parseMounts(
        "/dev/sda1 /mnt/tab\\011new\\012line\\134back ext4 rw,noatime 0 0\n"
        "\n"
        "short line\n"
        "/dev/sda2 relative ext4 rw 0 0\n"
        "/dev/sda3 /mnt/end\\04 ext4 ro 0 0");
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[0].mountPoint, "/mnt/tab\tnew\nline\\back");
    EXPECT_EQ(mounts[0].type, "ext4");
    EXPECT_TRUE(mounts[0].hasOption("noatime"));
    EXPECT_FALSE(mounts[0].hasOption("ro"));
    // An escape cut short at the end of the field stays as written.
    EXPECT_EQ(mounts[1].mountPoint, "/mnt/end\\04");
    EXPECT_TRUE(mounts[1].hasOption("ro"));
}

TEST(TWLocalVolumesTest, ThisMachineListsOnlyAbsolutePathsEachOnce) {
    std::vector<std::string> paths = TWLocalVolumes::mountedLocalVolumePaths();
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(path.front(), '/');
        EXPECT_EQ(std::count(paths.begin(), paths.end(), path), 1);
    }
}

} // namespace
