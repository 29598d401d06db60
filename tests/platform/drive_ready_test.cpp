#include "platform/drive_ready.h"

#include "core/error.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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

// A working folder that may no longer be searched could not be returned to:
// the test is refused and the working folder stays.
TEST_F(DriveReadyTest, AWorkingFolderThatCouldNotBeReturnedToIsAnError) {
    const fs::path working = dir_.path() / "working";
    fs::create_directory(working);
    fs::current_path(working);
    const UnreadableFolder locked(working);
    if (locked.canEnter())
        GTEST_SKIP() << "this process enters folders whatever their mode";
    try {
        IsDriveReady("/");
        FAIL() << "the way back went unchecked";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot keep the working folder \"" + working.string() + "\". Permission denied");
    }
    EXPECT_EQ(fs::current_path(), working);
}

} // namespace
} // namespace kadrix
