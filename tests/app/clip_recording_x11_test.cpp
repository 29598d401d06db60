// SPDX-License-Identifier: GPL-3.0-or-later
// A clip recorded on a real X server: every frame is the screen under the
// frame, without the frame, its buttons or its progress bar.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "tests/support/ffmpeg_frames.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::waitFor;

// The window in the clip mode over the known picture, recording into a
// folder of its own.
class ClipRecordingX11 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_TRUE(background_.shown()) << background_.failure();
        test::control<DirectoryListBox>(window_, "DirectoryListBox1")->setDirectory(folder_.str());
        test::control<QRadioButton>(window_, "RadioButton2")->click();
    }

    // Records a clip with the capture button and returns its frames as
    // ffmpeg decodes them, in blue, green, red, alpha.
    QByteArray recordedFrames() {
        QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn1"), Qt::LeftButton);
        EXPECT_TRUE(window_.recording());
        EXPECT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
        const fs::path clip = folder_.path() / "Vid000001.avi";
        EXPECT_TRUE(fs::exists(clip));
        // The frame files go off the window's thread.
        EXPECT_TRUE(waitFor([&] { return !fs::exists(folder_.path() / "Fr000001.bmp"); }));
        return test::ffmpegFrames(clip.string(), "bgra");
    }

    test::TempDir folder_{"kadrix-clips"};
    // The window opens in the working folder, which a test before may have
    // taken away with its own.
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    test::KnownPictureProcess background_;
    TMain window_{chooseServices(), lock_.folders()};
};

TEST_F(ClipRecordingX11, EveryFrameIsTheScreenUnderTheFrame) {
    if (QGuiApplication::screens().size() > 1)
        GTEST_SKIP() << "the one-screen sessions run this";
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_, 20000));
    ASSERT_TRUE(waitFor([&] { return window_.frameGeometry() != window_.geometry(); }));
    QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn2"), Qt::LeftButton);
    window_.setGeometry(200, 150, 320, 240);
    ASSERT_TRUE(waitFor([&] { return window_.frameGeometry() == QRect(200, 150, 320, 240); }));
    ASSERT_TRUE(test::windowShownOverPicture(window_));

    const QByteArray raw = recordedFrames();
    const int frameBytes = 320 * 240 * 4;
    ASSERT_GT(raw.size(), 0);
    ASSERT_EQ(raw.size() % frameBytes, 0);
    const int frames = static_cast<int>(raw.size() / frameBytes);
    // A busy machine misses ticks (they are logged, not made up for); never
    // more frames than the duration holds.
    EXPECT_GE(frames, 2);
    EXPECT_LE(frames, 10);
    for (int f = 0; f < frames; ++f) {
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData()) + f * frameBytes, 320,
                           240, QImage::Format_RGB32);
        EXPECT_EQ(test::pixelsUnlikeKnownPicture(frame, {200, 150}), 0) << "frame " << f;
    }
}

// On a desktop of two screens side by side, run with --monitors 2: a
// maximised recording is the screen the window is on, not the first one.
TEST_F(ClipRecordingX11, AMaximisedRecordingIsTheScreenTheWindowIsOn) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "one screen; the two-screen session runs this";
    const QRect right = screens[1]->geometry();
    ASSERT_GT(right.x(), 0);
    test::control<QSpinBox>(window_, "SpinEdit1")->setValue(1);
    window_.move(right.topLeft() + QPoint(100, 100));
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_, 20000));
    QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn2"), Qt::LeftButton);
    window_.showMaximized();
    ASSERT_TRUE(waitFor([&] { return window_.isMaximized() && window_.screen() == screens[1]; }));

    const QByteArray raw = recordedFrames();
    const qsizetype frameBytes = qsizetype(right.width()) * right.height() * 4;
    ASSERT_GT(raw.size(), 0);
    ASSERT_EQ(raw.size() % frameBytes, 0) << "frames of the screen's size";
    // The first frame, away from the panel and the edges: the known picture
    // where the right screen shows it.
    const QImage frame(reinterpret_cast<const uchar*>(raw.constData()), right.width(),
                       right.height(), QImage::Format_RGB32);
    EXPECT_EQ(test::pixelsUnlikeKnownPicture(frame, right.topLeft(), 8, 0, 100, 7), 0);
}

} // namespace
} // namespace kadrix
