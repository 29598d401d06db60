// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/unwritable_folder.h"

#include <barrier>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtimeDir_ = root_ / "runtime";
        fs::create_directories(runtimeDir_);
    }
    // A folder nobody may create files in for the rest of the test; false
    // where this machine cannot deny it.
    bool makeUnwritable(const fs::path& dir) {
        lockedDirs_.push_back(std::make_unique<test::UnwritableFolder>(dir));
        return lockedDirs_.back()->holds();
    }

    fs::path lockIn(const fs::path& dir) const { return dir / lockFileName; }

    test::TempDir temp_;
    fs::path root_ = temp_.path();
    fs::path runtimeDir_;
    std::vector<std::unique_ptr<test::UnwritableFolder>> lockedDirs_;
};

TEST_F(InstanceLockTest, FirstStartCreatesAnEmptyFileAndHoldsIt) {
    InstanceLockResult first = takeInstanceLock(runtimeDir_);
    ASSERT_TRUE(first.lock.held()) << first.error;
    EXPECT_FALSE(first.alreadyRunning);
    EXPECT_EQ(first.lock.path(), lockIn(runtimeDir_));
    EXPECT_EQ(fs::file_size(lockIn(runtimeDir_)), 0u);
    EXPECT_TRUE(isFileInUse(lockIn(runtimeDir_)));

    first.lock.release();
    EXPECT_TRUE(fs::exists(lockIn(runtimeDir_)));
    EXPECT_FALSE(isFileInUse(lockIn(runtimeDir_)));
}

TEST_F(InstanceLockTest, ALockHeldByAnotherProcessCountsUntilThatProcessEnds) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLockResult held = takeInstanceLock(runtimeDir_);
        const char ok = held.lock.held() ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        ::pause(); // killed by the parent: a crash leaves the file behind
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_TRUE(takeInstanceLock(runtimeDir_).alreadyRunning);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(fs::exists(lockIn(runtimeDir_)));
    InstanceLockResult after = takeInstanceLock(runtimeDir_);
    EXPECT_FALSE(after.alreadyRunning);
    EXPECT_TRUE(after.lock.held());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(InstanceLockTest, ASecondCopyFindsTheLockHeldAndExitDeletesOnlyTheFileThisCopyHolds) {
    InstanceLockResult first = takeInstanceLock(runtimeDir_.string());
    ASSERT_TRUE(first.lock.held());
    InstanceLockResult second = takeInstanceLock(runtimeDir_.string());
    ASSERT_TRUE(second.alreadyRunning);
    EXPECT_FALSE(second.lock.held());
    EXPECT_TRUE(second.error.empty());
    EXPECT_TRUE(isFileInUse(lockIn(runtimeDir_))) << "the first copy lost its lock";

    second.lock.deleteAndRelease();
    EXPECT_TRUE(fs::exists(lockIn(runtimeDir_))) << "a second copy deleted the running copy's lock";
    EXPECT_TRUE(isFileInUse(lockIn(runtimeDir_).string()));

    first.lock.deleteAndRelease();
    EXPECT_FALSE(first.lock.held());
    EXPECT_FALSE(fs::exists(lockIn(runtimeDir_)));
    EXPECT_TRUE(takeInstanceLock(runtimeDir_.string()).lock.held());
}

TEST_F(InstanceLockTest, AStaleFileIsReplacedByAFreshEmptyOne) {
    test::writeFile(lockIn(runtimeDir_), "left over by a crash");

    InstanceLockResult result = takeInstanceLock(runtimeDir_);
    ASSERT_TRUE(result.lock.held()) << result.error;
    EXPECT_FALSE(result.alreadyRunning);
    EXPECT_EQ(fs::file_size(lockIn(runtimeDir_)), 0u);
    result.lock.deleteAndRelease();

    // A link at the name is replaced, never followed: the file it points to
    // is neither emptied nor locked.
    const fs::path target = root_ / "notes.txt";
    test::writeFile(target, "the user's notes");
    fs::create_symlink(target, lockIn(runtimeDir_));
    InstanceLockResult linked = takeInstanceLock(runtimeDir_);
    ASSERT_TRUE(linked.lock.held()) << linked.error;
    EXPECT_FALSE(fs::is_symlink(lockIn(runtimeDir_)));
    EXPECT_EQ(test::readText(target), "the user's notes");
    EXPECT_FALSE(isFileInUse(target));
}

// Copies starting at the same instant, over a folder with no file, a stale
// one, or the file of a copy that is exiting just then. Locks of one process
// conflict between its descriptors as between processes, so threads stand in
// for the copies.
TEST_F(InstanceLockTest, OfCopiesStartingTogetherAtMostOneRunsAndItHoldsTheNamedFile) {
    constexpr int copies = 4;
    for (int round = 0; round < 300; ++round) {
        const bool stale = round % 3 == 1;
        const bool exiting = round % 3 == 2;
        if (stale)
            test::writeFile(lockIn(runtimeDir_), "left over by a crash");
        InstanceLockResult running;
        if (exiting)
            running = takeInstanceLock(runtimeDir_);

        std::vector<InstanceLockResult> results(copies);
        std::barrier start(copies + 1);
        std::vector<std::jthread> threads;
        for (int i = 0; i < copies; ++i)
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                results[i] = takeInstanceLock(runtimeDir_);
            });
        start.arrive_and_wait();
        if (exiting)
            running.lock.deleteAndRelease();
        threads.clear();

        int held = 0;
        for (const InstanceLockResult& result : results) {
            EXPECT_TRUE(result.error.empty()) << result.error;
            if (result.lock.held()) {
                ++held;
                EXPECT_EQ(result.lock.path(), lockIn(runtimeDir_));
            } else {
                EXPECT_TRUE(result.alreadyRunning);
            }
        }
        ASSERT_LE(held, 1) << "round " << round;
        if (!exiting) {
            ASSERT_EQ(held, 1) << "round " << round;
        }
        if (held == 1) {
            ASSERT_TRUE(isFileInUse(lockIn(runtimeDir_)))
                << "round " << round << ": the lock is held on a deleted file";
        }
        for (InstanceLockResult& result : results)
            result.lock.deleteAndRelease();
    }
}

TEST_F(InstanceLockTest, NoUsableRuntimeFolderRunsUnlockedWithAnError) {
    const InstanceLockResult none = takeInstanceLock("");
    EXPECT_FALSE(none.lock.held());
    EXPECT_FALSE(none.alreadyRunning);
    EXPECT_EQ(none.error,
              "Cannot create file \"KadrixZap.dat\": this user has no private runtime folder");

    if (!makeUnwritable(runtimeDir_))
        GTEST_SKIP() << "cannot make a folder unwritable here";
    InstanceLockResult result = takeInstanceLock(runtimeDir_);
    EXPECT_FALSE(result.lock.held());
    EXPECT_FALSE(result.alreadyRunning);
    EXPECT_NE(result.error.find("Cannot create file \"" + lockIn(runtimeDir_).string() + "\""),
              std::string::npos)
        << result.error;
}

} // namespace
} // namespace kadrix
