// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drive_ready.h"

#include "core/error.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

using test::TempDir;
using test::UnreadableFolder;

class DriveReadyTest : public ::testing::Test {
protected:
    void SetUp() override { start_ = fs::current_path(); }
    void TearDown() override { fs::current_path(start_); }

    fs::path start_;
    TempDir dir_{"kadrix-drive-test"};
};

TEST_F(DriveReadyTest, ReadyExactlyWhenTheRootCanBeEnteredAndTheWorkingFolderStays) {
    test::touch(dir_.path() / "file");
    fs::create_directory(dir_.path() / "volume");
    fs::current_path(dir_.path());
    const std::pair<std::string, bool> cases[] = {
        {"/", true},
        {(dir_.path() / "volume").string(), true},
        {(dir_.path() / "missing").string(), false},
        {(dir_.path() / "file").string(), false},
        {"", false},
    };
    for (const auto& [root, ready] : cases) {
        EXPECT_EQ(IsDriveReady(root), ready) << root;
        EXPECT_EQ(fs::current_path(), dir_.path()) << "after " << root;
    }
}

TEST_F(DriveReadyTest, ARootTheUserMayNotEnterIsNotReady) {
    const fs::path root = dir_.path() / "locked";
    fs::create_directory(root);
    fs::current_path(dir_.path());
    const UnreadableFolder locked(root);
    if (locked.canEnter())
        GTEST_SKIP() << "this process enters folders whatever their mode";
    EXPECT_FALSE(IsDriveReady(root.string()));
    EXPECT_EQ(fs::current_path(), dir_.path());
}

// A volume that does not answer (a hard-mounted share whose server went) is
// not ready once the limit has passed, and the caller goes on.
TEST(DriveReadyWithin, AVolumeThatDoesNotAnswerIsNotReadyAfterTheLimit) {
    auto answer = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = answer->get_future().share();
    const auto hangs = [released](const std::string&) {
        released.wait();
        return true;
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(isDriveReadyWithin("/mnt/share", std::chrono::milliseconds(200), hangs));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(200));
    EXPECT_LT(waited, std::chrono::seconds(5));
    answer->set_value();

    EXPECT_TRUE(isDriveReadyWithin("/", driveLookLimit));
    EXPECT_FALSE(isDriveReadyWithin("/no such volume", driveLookLimit));
    EXPECT_THROW(isDriveReadyWithin("/", driveLookLimit,
                                    [](const std::string&) -> bool { throw Error("look failed"); }),
                 Error);
}

} // namespace
} // namespace kadrix
