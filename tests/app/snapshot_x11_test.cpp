// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot on a real X server: the picture is exactly the screen under the
// frame's whole outer rectangle, with nothing of the frame in it.
#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/lock_folders.h"
#include "tests/support/screen_colors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::waitFor;

class SnapshotX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_TRUE(background_.shown()) << background_.failure();
        window_ = std::make_unique<TMain>(chooseServices(), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
        // The window manager's frame arrives a moment after the map.
        ASSERT_TRUE(waitFor([&] { return window_->frameGeometry() != window_->geometry(); }));
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
        window_->setGeometry(137, 91, 501, 333);
        ASSERT_TRUE(waitFor([&] { return window_->frameGeometry() == QRect(137, 91, 501, 333); }));
        // The picture shows through once the shape has reached the server.
        const QPoint inside = window_->mapToGlobal(QPoint(250, 200));
        ASSERT_TRUE(waitFor([&] {
            return test::near(test::screenColorAt(inside),
                              test::knownColorHeld(inside.x(), inside.y(), bitsPerChannel()), 12);
        }));
        ASSERT_TRUE(test::windowShownOverPicture(*window_));
    }
    // A 16-bit screen's picture file holds 5 bits a channel.
    static int bitsPerChannel() { return QGuiApplication::primaryScreen()->depth() == 16 ? 5 : 8; }

    // Pixels of the picture that differ from the screen under the frame.
    static int wrongPixels(const QImage& picture, QPoint origin) {
        return test::pixelsUnlikeKnownPicture(picture, origin, bitsPerChannel(),
                                              bitsPerChannel() == 5 ? 12 : 0);
    }

    test::TempDir folder_{"kadrix-shots"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    test::KnownPictureProcess background_;
    std::unique_ptr<TMain> window_;
};

TEST_F(SnapshotX11Test, ThePictureIsTheScreenUnderTheWholeFrameWhereverItIs) {
    QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn1"), Qt::LeftButton);
    const fs::path file = folder_.path() / "Pic000001.bmp";
    ASSERT_TRUE(fs::exists(file));
    const QImage picture(QString::fromStdString(file.string()));
    ASSERT_EQ(picture.size(), QSize(501, 333));
    EXPECT_EQ(wrongPixels(picture, {137, 91}), 0)
        << "the frame's title strip, border or buttons are in the picture";
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->windowTitle(), "Kadrix");

    // The frame is whole again after the grab.
    const QPoint button =
        test::control<QPushButton>(*window_, "BitBtn1")
            ->mapToGlobal(test::control<QPushButton>(*window_, "BitBtn1")->rect().center());
    EXPECT_TRUE(waitFor([&] {
        return !test::near(test::screenColorAt(button),
                           test::knownColorHeld(button.x(), button.y(), bitsPerChannel()), 8);
    }));

    // The next snapshot follows the frame to its new place.
    window_->move(20, 600);
    ASSERT_TRUE(waitFor([&] { return window_->frameGeometry().topLeft() == QPoint(20, 600); }));
    ASSERT_TRUE(test::windowShownOverPicture(*window_));
    QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn1"), Qt::LeftButton);
    const fs::path second = folder_.path() / "Pic000002.bmp";
    ASSERT_TRUE(fs::exists(second));
    const QImage moved(QString::fromStdString(second.string()));
    ASSERT_EQ(moved.size(), QSize(501, 333));
    EXPECT_EQ(wrongPixels(moved, {20, 600}), 0);
}

} // namespace
} // namespace kadrix
