// SPDX-License-Identifier: GPL-3.0-or-later
// The switch between the options layout and the capture frame.
#include "app/frame_title_strip.h"
#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/lock_folders.h"
#include "tests/support/test_services.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

namespace kadrix {
namespace {

// The browser, the conversion and the mode controls: shown in the options
// layout, hidden in the capture frame.
const std::vector<const char*> optionsControls = {
    "BitBtn3", "GroupBox2", "DriveComboBox1", "DirectoryListBox1", "FileListBox1",
    "Image1",  "Image2",    "GroupBox3",      "GroupBox4"};

class LayoutSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TMain>(test::testServices(), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void toFrame() {
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
        ASSERT_TRUE(window_->inCaptureFrame());
    }
    void toOptions() {
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
        ASSERT_FALSE(window_->inCaptureFrame());
    }

    // Whether each named control is visible, as expected.
    void expectVisible(const std::vector<const char*>& names, bool visible) const {
        for (const char* name : names)
            EXPECT_EQ(test::control<QWidget>(*window_, name)->isVisible(), visible) << name;
    }

    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(LayoutSwitchTest, TheFrameShowsOnlyTheCaptureGroupAndCanBeResized) {
    TMain& w = *window_;
    const QRect outer = w.frameGeometry();
    toFrame();
    EXPECT_EQ(test::control<QPushButton>(w, "BitBtn2")->text(), "Опции");
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
    expectVisible(optionsControls, false);
    expectVisible({"MediaPlayer1", "Panel2", "Panel3"}, false);
    expectVisible({"GroupBox1", "BitBtn1", "SpinEdit1", "Label4", "BitBtn2"}, true);
    EXPECT_EQ(w.geometry(), outer) << "the frame keeps the window's place and outer size";
    EXPECT_LT(w.minimumWidth(), w.maximumWidth());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.titleStrip()->isVisible());
    EXPECT_TRUE(w.titleStrip()->maximiseButton()->isVisible());
    EXPECT_TRUE(w.titleStrip()->closeButton()->isVisible());
}

TEST_F(LayoutSwitchTest, MaroonIsSeeThroughAndTheCaptureGroupIsNot) {
    TMain& w = *window_;
    toFrame();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.mask().isEmpty(); })) << "the frame took no shape";
    const QRegion mask = w.mask();
    const QPoint button =
        test::control<QPushButton>(w, "BitBtn1")
            ->mapTo(&w, test::control<QPushButton>(w, "BitBtn1")->rect().center());
    const QPoint maroon = test::control<QFrame>(w, "Panel1")
                              ->mapTo(&w, QPoint(test::control<QFrame>(w, "Panel1")->width() / 3,
                                                 test::control<QFrame>(w, "Panel1")->height() / 2));
    const QPoint groupInside = test::control<QGroupBox>(w, "GroupBox1")->mapTo(&w, QPoint(2, 50));
    const QPoint strip = w.titleStrip()->mapTo(&w, QPoint(10, 5));
    EXPECT_TRUE(mask.contains(button));
    EXPECT_TRUE(mask.contains(strip));
    EXPECT_FALSE(mask.contains(maroon));
    EXPECT_FALSE(mask.contains(groupInside)) << "the group's inside is maroon";
    EXPECT_TRUE(mask.contains(test::control<QGroupBox>(w, "GroupBox1")->mapTo(&w, QPoint(0, 50))))
        << "its frame line is opaque";

    toOptions();
    EXPECT_TRUE(w.mask().isEmpty()) << "the options layout is opaque";
}

TEST_F(LayoutSwitchTest, ResizingKeepsTheGroupAtTheTopRight) {
    TMain& w = *window_;
    toFrame();
    w.resize(800, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.width() == 800; }));
    EXPECT_EQ(test::control<QGroupBox>(w, "GroupBox1")->pos(),
              QPoint(test::control<QFrame>(w, "Panel1")->width() - 73, 7));
    EXPECT_EQ(test::control<QGroupBox>(w, "GroupBox1")->mapTo(&w, QPoint(0, 0)).x() +
                  test::control<QGroupBox>(w, "GroupBox1")->width() + 8 + 4,
              800);
    // The shape follows on the next turn of the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return w.mask().contains(
            test::control<QPushButton>(w, "BitBtn1")
                ->mapTo(&w, test::control<QPushButton>(w, "BitBtn1")->rect().center()));
    }));
}

TEST_F(LayoutSwitchTest, BackToOptionsRestoresTheFixedWindow) {
    TMain& w = *window_;
    toFrame();
    w.showMaximized();
    toOptions();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_EQ(w.size(), QSize(556, 390));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
    EXPECT_EQ(test::control<QPushButton>(w, "BitBtn2")->text(), "Готов");
    expectVisible(optionsControls, true);
    EXPECT_FALSE(test::control<QFrame>(w, "Panel3")->isVisible())
        << "the conversion bar waits for a previewed picture";
    EXPECT_FALSE(test::control<MediaPlayerBar>(w, "MediaPlayer1")->isVisible());
    EXPECT_EQ(test::control<QGroupBox>(w, "GroupBox1")->pos(), QPoint(483, 7));
}

TEST_F(LayoutSwitchTest, BackToOptionsInClipModeShowsThePlayerAndTheClipName) {
    TMain& w = *window_;
    test::control<QRadioButton>(w, "RadioButton2")->setChecked(true);
    toFrame();
    toOptions();
    EXPECT_TRUE(test::control<MediaPlayerBar>(w, "MediaPlayer1")->isVisible());
    EXPECT_TRUE(test::control<QFrame>(w, "Panel2")->isVisible());
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), QDir::currentPath() + "/Vid000001.avi");

    test::control<QRadioButton>(w, "RadioButton3")->setChecked(true);
    toFrame();
    toOptions();
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(),
              QDir::currentPath() + "/ZVUK000001.wav");
}

} // namespace
} // namespace kadrix
