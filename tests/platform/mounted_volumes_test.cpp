// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mounted_volumes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

// The mount table of the machine that runs the tests: whatever else it holds,
// the root is there and nothing of the system's own mounts is.
TEST(MountedVolumes, ListTheRootAndNoSystemMountsSortedByMountPoint) {
    const std::vector<Volume> volumes = mountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPoint, "/");
    EXPECT_TRUE(
        std::is_sorted(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
            return a.mountPoint < b.mountPoint;
        }));
    for (const Volume& volume : volumes) {
        for (const char* system : {"/proc", "/sys", "/dev", "/run/user"})
            EXPECT_FALSE(volume.mountPoint.starts_with(system)) << volume.mountPoint;
    }
}

// The volumes come from the table alone: a share whose server went would hang
// any look at its mount point, so none is looked at (these do not even exist).
TEST(MountedVolumes, AreListedWithoutLookingAtThem) {
    test::TempDir dir;
    test::writeFile(dir.path("mountinfo"),
                    "27 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                    "41 27 0:50 / /mnt/gone\\040nas rw - nfs4 server:/export rw\n"
                    "46 27 8:33 / /media/nobody/USB rw - exfat /dev/sdc1 rw\n");
    const std::vector<Volume> volumes = volumesListedIn(dir.path("mountinfo"));
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].mountPoint, "/");
    EXPECT_EQ(volumes[1].mountPoint, "/media/nobody/USB");
    EXPECT_EQ(volumes[2].mountPoint, "/mnt/gone nas");
    EXPECT_EQ(volumes[2].label, "server:/export");
}

// A table that cannot be read leaves the root, so the program still starts.
TEST(MountedVolumes, AnUnreadableTableLeavesTheRootAlone) {
    test::TempDir dir;
    const std::vector<Volume> volumes = volumesListedIn(dir.path("no mountinfo"));
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].mountPoint, "/");
}

} // namespace
} // namespace kadrix
