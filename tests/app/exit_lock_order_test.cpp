// SPDX-License-Identifier: GPL-3.0-or-later
// "Выход" deletes the lock file before it lets the lock go: in the other
// order a copy starting in between could lock the file just before it
// vanishes, and a third copy would then run beside it. The order is seen by
// wrapping the program's own unlink() and close() calls (linked with --wrap).
#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"

#include <QAction>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string>& lockFileCalls() {
    static std::vector<std::string> calls;
    return calls;
}

bool namesLockFile(const std::string& path) {
    return path.find(kadrix::lockFileName) != std::string::npos;
}

} // namespace

extern "C" {
int __real_unlink(const char* path);
int __real_close(int fd);

int __wrap_unlink(const char* path) {
    if (namesLockFile(path))
        lockFileCalls().push_back("unlink");
    return __real_unlink(path);
}

int __wrap_close(int fd) {
    std::array<char, 4096> target{};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size() - 1);
    if (n > 0 && namesLockFile(std::string(target.data(), static_cast<std::size_t>(n))))
        lockFileCalls().push_back("close");
    return __real_close(fd);
}
}

namespace kadrix {
namespace {

TEST(ExitLockOrder, ExitDeletesTheLockFileThenReleasesTheLock) {
    test::TempDir runtime("kadrix-runtime");
    TMain window(test::testServices(), QString::fromStdString(runtime.str()));
    ASSERT_TRUE(window.holdsLock());
    lockFileCalls().clear();
    test::control<QAction>(window, "N1")->trigger();
    EXPECT_EQ(lockFileCalls(), (std::vector<std::string>{"unlink", "close"}));
    EXPECT_FALSE(window.holdsLock());
    EXPECT_FALSE(std::filesystem::exists(runtime.path(lockFileName)));
}

} // namespace
} // namespace kadrix
