// SPDX-License-Identifier: GPL-3.0-or-later
// The close command on a real X server with a window manager: Alt+F4 during
// a clip recording hides the window and the recording runs to its clip.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "tests/support/fake_tray_icon.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/x11_windows.h"

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::waitFor;

TEST(CloseCommandX11, AltF4DuringAClipRecordingHidesTheWindowAndTheClipIsMade) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    test::TempDir folder("kadrix-clips");
    const test::LockFolders lock;
    auto tray = std::make_unique<test::FakeTrayIcon>(true);
    test::FakeTrayIcon& icon = *tray;
    Services services = chooseServices();
    services.tray = std::move(tray);
    TMain window(std::move(services), lock.folders());
    control<DirectoryListBox>(window, "DirectoryListBox1")->setDirectory(folder.str());
    control<QRadioButton>(window, "RadioButton2")->click();
    window.show();
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }, 20000))
        << "the first activation did not hide the window";
    icon.click();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 20000));
    QTest::mouseClick(control<QPushButton>(window, "BitBtn2"), Qt::LeftButton);

    QTest::mouseClick(control<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    ASSERT_TRUE(window.recording());
    // The keys go where the user's would: to the window in front.
    const QString id = QString::number(window.winId());
    test::xdotool({"windowactivate", "--sync", id});
    ASSERT_TRUE(waitFor([&] { return test::xdotool({"getactivewindow"}) == id; }));
    const int adds = icon.adds();
    test::xdotool({"key", "alt+F4"});
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); })) << "Alt+F4 did not hide the window";
    EXPECT_EQ(icon.adds(), adds + 1) << "Alt+F4 was not taken as the close command";
    EXPECT_TRUE(window.recording()) << "hiding the window stopped the recording";
    EXPECT_TRUE(window.holdsLock());

    const std::vector<test::SeenMessageBox> reports = test::answerEveryMessageBox(
        [&] { ASSERT_TRUE(waitFor([&] { return !window.recording(); }, 30000)); });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();
    const fs::path clip = folder.path() / "Vid000001.avi";
    ASSERT_TRUE(fs::exists(clip));
    QProcess probe;
    probe.start("ffprobe",
                {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                 "stream=nb_read_frames", "-of", "csv=p=0", QString::fromStdString(clip.string())});
    ASSERT_TRUE(probe.waitForFinished(60000));
    // Two seconds at five frames a second; a busy machine may miss a tick.
    EXPECT_GE(probe.readAllStandardOutput().trimmed().toInt(), 5);
    EXPECT_FALSE(window.isVisible()) << "the stop step showed a window the user had hidden";
}

} // namespace
} // namespace kadrix
