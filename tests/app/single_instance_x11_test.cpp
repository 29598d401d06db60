// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started twice: the second copy says so once and ends,
// the first runs on; a lock left by a crash does not keep the next copy out.
#include "platform/instance_lock.h"
#include "tests/support/gui_wait.h"
#include "tests/support/program_copy.h"
#include "tests/support/test_files.h"
#include "tests/support/x11_windows.h"

#include <QProcess>
#include <QSize>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::visibleWindowOf;
using test::waitFor;
using test::xdotool;

std::string mappedFilesOf(qint64 pid) {
    return test::readText("/proc/" + std::to_string(pid) + "/maps");
}

QSize sizeOf(const QString& window) {
    return test::geometryOf(window).size();
}

class SingleInstanceTest : public ::testing::Test {
protected:
    // The first copy, once its window shows and it holds the lock.
    QProcess& startFirstAndWaitForItsWindow() {
        QProcess& first = program_.start();
        EXPECT_TRUE(waitFor([&] { return !visibleWindowOf(first.processId()).isEmpty(); }, 20000));
        EXPECT_TRUE(isFileInUse(program_.lockPath()));
        return first;
    }

    test::ProgramCopy program_{"kadrix-instance"};
};

TEST_F(SingleInstanceTest, ASecondCopySaysSoOnceAndEndsWithoutTouchingTheLock) {
    QProcess& first = startFirstAndWaitForItsWindow();
    const QSize mainWindow = sizeOf(visibleWindowOf(first.processId()));
    EXPECT_EQ(mainWindow, QSize(556, 390));
    // Qt Multimedia and GStreamer cost the start tens of milliseconds and
    // megabytes; they are loaded when the first clip or sound is played.
    const std::string mapped = mappedFilesOf(first.processId());
    EXPECT_EQ(mapped.find("libQt6Multimedia"), std::string::npos);
    EXPECT_EQ(mapped.find("libgstreamer"), std::string::npos);

    QProcess& second = program_.start();
    QString box;
    ASSERT_TRUE(
        waitFor([&] { return !(box = visibleWindowOf(second.processId())).isEmpty(); }, 20000))
        << "the second copy showed nothing";
    EXPECT_EQ(xdotool({"getwindowname", box}), "Kadrix");
    EXPECT_NE(sizeOf(box), QSize(556, 390)) << "the second copy showed its main window";

    xdotool({"key", "--window", box, "Return"});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(fs::exists(program_.lockPath()));
    EXPECT_TRUE(isFileInUse(program_.lockPath()));
}

// Two users of one copy (root, or a copy in a shared folder): each has a
// runtime folder of their own, neither keeps the other out, and nobody's
// lock lies beside the program, writable as that folder is here.
TEST_F(SingleInstanceTest, EachUserHoldsALockOfTheirOwnAndNoneLiesBesideTheProgram) {
    QProcess& first = startFirstAndWaitForItsWindow();
    const test::TempDir otherUser("kadrix-runtime");
    QProcess& second = program_.start(QProcessEnvironment::systemEnvironment(), otherUser.str());
    QString window;
    ASSERT_TRUE(
        waitFor([&] { return !(window = visibleWindowOf(second.processId())).isEmpty(); }, 20000));
    EXPECT_EQ(sizeOf(window), QSize(556, 390)) << "the other user's copy did not start";
    EXPECT_TRUE(isFileInUse(otherUser.path(lockFileName)));
    EXPECT_TRUE(isFileInUse(program_.lockPath()));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_FALSE(fs::exists(program_.folder().path(lockFileName)));
}

TEST_F(SingleInstanceTest, ALockLeftByACrashIsStale) {
    QProcess& first = startFirstAndWaitForItsWindow();
    first.kill();
    first.waitForFinished();
    ASSERT_TRUE(fs::exists(program_.lockPath()));
    ASSERT_FALSE(isFileInUse(program_.lockPath()));

    QProcess& second = program_.start();
    ASSERT_TRUE(waitFor([&] { return !visibleWindowOf(second.processId()).isEmpty(); }, 20000));
    EXPECT_EQ(sizeOf(visibleWindowOf(second.processId())), QSize(556, 390))
        << "the next copy did not start normally";
    EXPECT_TRUE(isFileInUse(program_.lockPath()));
    EXPECT_EQ(fs::file_size(program_.lockPath()), 0u);
}

} // namespace
} // namespace kadrix
