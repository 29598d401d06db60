// SPDX-License-Identifier: GPL-3.0-or-later
// The capture frame on a real X server with a window manager: the screen
// shows through the maroon parts, the capture group stays opaque.
#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/screen_colors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::knownColorAt;
using test::screenColorAt;
using test::waitFor;

class CaptureFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        background_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&background_, 20000));
        window_ =
            std::make_unique<TMain>(test::testServices(), QString::fromStdString(runtime_.str()));
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
        // The window manager's frame arrives a moment after the map.
        ASSERT_TRUE(waitFor([&] { return window_->frameGeometry() != window_->geometry(); }));
    }

    QPoint onScreen(QWidget* widget, QPoint at) const { return widget->mapToGlobal(at); }

    // A point of the panel that nothing covers in either layout.
    static constexpr QPoint emptyMaroon{470, 200};

    test::KnownPictureWindow background_;
    test::TempDir runtime_{"kadrix-runtime"};
    std::unique_ptr<TMain> window_;
};

TEST_F(CaptureFrameTest, ThePictureShowsThroughTheFrameAndTheButtonsStayOpaque) {
    TMain& w = *window_;
    const QPoint maroon = onScreen(test::control<QFrame>(w, "Panel1"), emptyMaroon);
    ASSERT_TRUE(waitFor([&] { return screenColorAt(maroon) == QColor(128, 0, 0); }))
        << "the options layout is opaque maroon";

    const QRect outer = w.frameGeometry();
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(w.inCaptureFrame());
    // The window manager moves and resizes the frame a moment later; places on
    // the screen are known once it stands on the old outer rectangle.
    ASSERT_TRUE(waitFor([&] { return w.geometry() == outer && w.frameGeometry() == outer; }))
        << "the frame is not the old outer rectangle, or the window manager's frame is still there";
    const QPoint seeThrough = onScreen(test::control<QFrame>(w, "Panel1"), emptyMaroon);
    EXPECT_TRUE(waitFor([&] {
        return screenColorAt(seeThrough) == knownColorAt(seeThrough.x(), seeThrough.y());
    })) << "the picture does not show through the maroon area";
    const QPoint groupInside = onScreen(test::control<QGroupBox>(w, "GroupBox1"), {3, 50});
    EXPECT_TRUE(waitFor([&] {
        return screenColorAt(groupInside) == knownColorAt(groupInside.x(), groupInside.y());
    }));

    const QPoint button = onScreen(test::control<QPushButton>(w, "BitBtn1"),
                                   test::control<QPushButton>(w, "BitBtn1")->rect().center());
    EXPECT_TRUE(waitFor([&] {
        return screenColorAt(button) != knownColorAt(button.x(), button.y());
    })) << "the capture button is see-through";
    const QPoint lineOfGroup = onScreen(test::control<QGroupBox>(w, "GroupBox1"), {0, 50});
    EXPECT_TRUE(waitFor([&] {
        return screenColorAt(lineOfGroup) != knownColorAt(lineOfGroup.x(), lineOfGroup.y());
    })) << "the group's frame line is see-through";
}

TEST_F(CaptureFrameTest, TheFrameCanBeResizedAndMaximised) {
    TMain& w = *window_;
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    w.resize(800, 520);
    ASSERT_TRUE(waitFor([&] { return w.width() == 800 && w.height() == 520; }));
    EXPECT_EQ(test::control<QGroupBox>(w, "GroupBox1")->pos().x(),
              test::control<QFrame>(w, "Panel1")->width() - 73);
    const QPoint button = onScreen(test::control<QPushButton>(w, "BitBtn1"),
                                   test::control<QPushButton>(w, "BitBtn1")->rect().center());
    EXPECT_TRUE(
        waitFor([&] { return screenColorAt(button) != knownColorAt(button.x(), button.y()); }));

    w.showMaximized();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    ASSERT_TRUE(waitFor([&] { return w.isMaximized() && w.width() == screen.width(); }));
    const QPoint corner = onScreen(test::control<QPushButton>(w, "BitBtn1"),
                                   test::control<QPushButton>(w, "BitBtn1")->rect().center());
    EXPECT_GT(corner.x(), screen.width() - 80) << "the capture group follows the top right corner";
}

TEST_F(CaptureFrameTest, BackToOptionsTheWindowIsOpaqueFixedAndDecoratedAgain) {
    TMain& w = *window_;
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    w.showMaximized();
    ASSERT_TRUE(waitFor([&] { return w.isMaximized(); }));
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    ASSERT_FALSE(w.inCaptureFrame());
    ASSERT_TRUE(waitFor([&] { return !w.isMaximized() && w.size() == QSize(556, 390); }));
    EXPECT_TRUE(waitFor([&] { return w.frameGeometry() != w.geometry(); }))
        << "the window manager's frame is back";
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    const QPoint maroon = onScreen(test::control<QFrame>(w, "Panel1"), emptyMaroon);
    EXPECT_TRUE(waitFor([&] { return screenColorAt(maroon) == QColor(128, 0, 0); }));
}

} // namespace
} // namespace kadrix
