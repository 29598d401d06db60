#include "platform/mounted_volumes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
        struct stat status {};
        EXPECT_EQ(::stat(volume.mountPoint.c_str(), &status), 0) << volume.mountPoint;
        EXPECT_TRUE(S_ISDIR(status.st_mode)) << volume.mountPoint;
    }
}

} // namespace
} // namespace kadrix
