// The real program, started twice: the second copy says so once and ends,
// the first runs on; a lock left by a crash does not keep the next copy out.
#include "platform/instance_lock.h"
#include "tests/support/gui_wait.h"
#include "tests/support/temp_dir.h"
#include "tests/support/x11_windows.h"

#include <QProcess>
#include <QSize>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::visibleWindowOf;
using test::waitFor;
using test::xdotool;

std::string mappedFilesOf(qint64 pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    return {std::istreambuf_iterator<char>(maps), {}};
}

QSize sizeOf(const QString& window) {
    return test::geometryOf(window).size();
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = dir_.path() / "kadrix";
        fs::copy_file(fs::path(KADRIX_BINARY_DIR) / "app" / "kadrix", program_);
        lock_ = (dir_.path() / lockFileName).string();
    }
    void TearDown() override {
        for (QProcess* process : {&first_, &second_}) {
            process->kill();
            process->waitForFinished();
        }
    }
    void start(QProcess& process) {
        process.setWorkingDirectory(QString::fromStdString(dir_.str()));
        process.start(QString::fromStdString(program_.string()), {});
        ASSERT_TRUE(process.waitForStarted());
    }
    void startFirstAndWaitForItsWindow() {
        start(first_);
        ASSERT_TRUE(waitFor([&] { return !visibleWindowOf(first_.processId()).isEmpty(); }, 20000));
        ASSERT_TRUE(isFileInUse(lock_));
    }

    test::TempDir dir_{"kadrix-instance"};
    fs::path program_;
    std::string lock_;
    QProcess first_, second_;
};

TEST_F(SingleInstanceTest, ASecondCopySaysSoOnceAndEndsWithoutTouchingTheLock) {
    startFirstAndWaitForItsWindow();
    const QSize mainWindow = sizeOf(visibleWindowOf(first_.processId()));
    EXPECT_EQ(mainWindow, QSize(556, 390));
    // Qt Multimedia and GStreamer cost the start tens of milliseconds and
    // megabytes; they are loaded when the first clip or sound is played.
    const std::string mapped = mappedFilesOf(first_.processId());
    EXPECT_EQ(mapped.find("libQt6Multimedia"), std::string::npos);
    EXPECT_EQ(mapped.find("libgstreamer"), std::string::npos);

    start(second_);
    QString box;
    ASSERT_TRUE(
        waitFor([&] { return !(box = visibleWindowOf(second_.processId())).isEmpty(); }, 20000))
        << "the second copy showed nothing";
    EXPECT_EQ(xdotool({"getwindowname", box}), "Kadrix");
    EXPECT_NE(sizeOf(box), QSize(556, 390)) << "the second copy showed its main window";

    xdotool({"key", "--window", box, "Return"});
    ASSERT_TRUE(second_.waitForFinished(20000));
    EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second_.exitCode(), 0);

    EXPECT_EQ(first_.state(), QProcess::Running);
    EXPECT_TRUE(fs::exists(lock_));
    EXPECT_TRUE(isFileInUse(lock_));
}

TEST_F(SingleInstanceTest, ALockLeftByACrashIsStale) {
    startFirstAndWaitForItsWindow();
    first_.kill();
    first_.waitForFinished();
    ASSERT_TRUE(fs::exists(lock_));
    ASSERT_FALSE(isFileInUse(lock_));

    start(second_);
    ASSERT_TRUE(waitFor([&] { return !visibleWindowOf(second_.processId()).isEmpty(); }, 20000));
    EXPECT_EQ(sizeOf(visibleWindowOf(second_.processId())), QSize(556, 390))
        << "the next copy did not start normally";
    EXPECT_TRUE(isFileInUse(lock_));
    EXPECT_EQ(fs::file_size(lock_), 0u);
}

} // namespace
} // namespace kadrix
