// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mountinfo.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

// A desktop's mount table, with everything a user would not pick among it.
constexpr std::string_view desktopTable =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 27 0:22 / /sys rw - sysfs sysfs rw\n"
    "24 27 0:6 / /dev rw - devtmpfs devtmpfs rw,mode=755\n"
    "27 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "31 23 0:28 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "40 27 8:17 / /media/anna/My\\040Disk rw,nosuid shared:5 master:1 - vfat /dev/sdb1 rw\n"
    "41 27 0:50 / /mnt/nas rw - nfs4 server:/export rw,vers=4.2\n"
    "42 27 7:3 / /snap/core/123 ro - squashfs /dev/loop3 ro\n"
    "43 27 8:3 / /home rw shared:2 - ext4 /dev/sda3 rw\n"
    "44 27 8:2 /var/lib/docker/c/hosts /etc/hosts rw - ext4 /dev/sda2 rw\n"
    "45 27 0:60 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "46 27 8:33 / /run/media/anna/USB rw - exfat /dev/sdc1 rw\n"
    "47 27 0:62 / /opt/tmp.mount rw - fuse.app app rw\n"
    "48 27 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
    "49 27 0:70 / /srv/containers/merged rw - overlay overlay rw\n"
    "50 27 8:48 / /data\\011tab\\134back rw - btrfs /dev/sdd rw\n"
    "51 27 0:80 / /mnt/box rw - fuse.sshfs anna@box:/home/anna rw\n"
    "52 27 0:81 / /tank rw - zfs tank/data rw\n"
    "53 27 0:82 / /mnt/ram rw - tmpfs tmpfs rw"; // no newline at the end

std::vector<std::string> mountPointsOf(const std::vector<MountEntry>& entries) {
    std::vector<std::string> mountPoints;
    for (const MountEntry& entry : entries)
        mountPoints.push_back(entry.mountPoint);
    return mountPoints;
}

TEST(MountInfo, ParsesEveryFieldAndUndoesEscapes) {
    const std::vector<MountEntry> entries = parseMountInfo(desktopTable);
    ASSERT_EQ(entries.size(), 19u);

    const MountEntry& disk = entries[5];
    EXPECT_EQ(disk.major, 8u);
    EXPECT_EQ(disk.minor, 17u);
    EXPECT_EQ(disk.root, "/");
    EXPECT_EQ(disk.mountPoint, "/media/anna/My Disk");
    EXPECT_EQ(disk.fsType, "vfat");
    EXPECT_EQ(disk.source, "/dev/sdb1");

    EXPECT_EQ(entries[9].root, "/var/lib/docker/c/hosts");
    EXPECT_EQ(entries[15].mountPoint, "/data\ttab\\back");
    EXPECT_EQ(entries[6].source, "server:/export");
    EXPECT_EQ(entries[18].mountPoint, "/mnt/ram");
}

TEST(MountInfo, SkipsDamagedLinesAndKeepsTheRest) {
    const std::string table = "garbage\n"
                              "\n"
                              "1 2 3:4 / /short rw\n"
                              "x 2 3:4 / /badid rw - ext4 /dev/sda1 rw\n"
                              "1 2 34 / /baddevice rw - ext4 /dev/sda1 rw\n"
                              "1 2 3:4 / /noseparator rw shared:1 ext4 /dev/sda1 rw\n"
                              "1 2 3:4 / /nosource rw - ext4\n"
                              "1 2 3:4 / relative rw - ext4 /dev/sda1 rw\n"
                              "1 2 3:4 / /good rw - ext4 /dev/sda1 rw\n";
    EXPECT_EQ(mountPointsOf(parseMountInfo(table)), std::vector<std::string>{"/good"});
    EXPECT_TRUE(parseMountInfo("").empty());
}

TEST(MountInfo, UnescapesOnlyThreeOctalDigits) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"\\040", " "},
        {"a\\134b", "a\\b"},
        {"\\012\\011", "\n\t"},
        {"\\0", "\\0"},
        {"\\04", "\\04"},
        {"\\400", "\\400"},
        {"\\08x", "\\08x"},
        {"end\\", "end\\"},
        {"\\\\040", "\\ "},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& [field, expected] : cases)
        EXPECT_EQ(unescapeMountField(field), expected) << field;
}

TEST(MountInfo, KeepsTheVolumesAUserWouldPickSortedByMountPoint) {
    const struct {
        const char* what;
        std::string_view table;
        std::vector<std::string> volumes;
    } cases[] = {
        {"a desktop",
         desktopTable,
         {"/", "/data\ttab\\back", "/home", "/media/anna/My Disk", "/mnt/box", "/mnt/nas",
          "/run/media/anna/USB", "/tank"}},
        {"the last mount on a point hides the earlier ones",
         "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
         "2 1 0:40 / /mnt/x rw - tmpfs tmpfs rw\n"
         "3 2 8:17 / /mnt/x rw - ext4 /dev/sdb1 rw\n"
         "4 1 8:18 / /mnt/y rw - ext4 /dev/sdb2 rw\n"
         "5 4 0:41 / /mnt/y rw - tmpfs tmpfs rw\n",
         {"/", "/mnt/x"}},
        // As in a container, whose root is an overlay.
        {"the root is a volume whatever its type",
         "1 0 0:50 / / rw - overlay overlay rw,lowerdir=/a\n",
         {"/"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mountPointsOf(userVolumeMounts(parseMountInfo(c.table))), c.volumes) << c.what;
}

TEST(MountInfo, FindsTheVolumeAFolderLiesOn) {
    const std::vector<std::string> mountPoints = {"/", "/home", "/media/anna/USB"};
    const std::pair<std::string_view, std::string> cases[] = {
        {"/home/anna/Pictures", "/home"},
        {"/home", "/home"},
        {"/homework", "/"},
        {"/media/anna/USB/DCIM", "/media/anna/USB"},
        {"/media/anna", "/"},
        {"/", "/"},
        {"relative/folder", ""},
        {"", ""},
    };
    for (const auto& [folder, expected] : cases)
        EXPECT_EQ(containingMountPoint(folder, mountPoints), expected) << folder;
    EXPECT_EQ(containingMountPoint("/home", {}), "");
}

TEST(MountInfo, DecodesLabelLinkNames) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"My\\x20Disk", "My Disk"},
        {"a\\x2fb", "a/b"},
        {"\\xD0\\x96", "Ж"},
        {"\\xzz", "\\xzz"},
        {"\\x2", "\\x2"},
        {"USB", "USB"},
        {"", ""},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(decodeLabelLinkName(name), expected) << name;
}

} // namespace
} // namespace kadrix
