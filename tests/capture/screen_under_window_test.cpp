// SPDX-License-Identifier: GPL-3.0-or-later
// The grab of what lies under a window, with the display held in memory: the
// window is taken away for the grab, the grab waits until what lies beneath
// has been drawn, and the window comes back with its shape.
#include "capture/screen_under_window.h"
#include "platform/null_services.h"
#include "tests/support/fake_window_service.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

constexpr std::byte windowFace{0x40};
constexpr std::byte beneath{0xC0};

// A screen that shows the window until the service has taken it away, and
// then, after a few grabs (the windows beneath take a moment to draw
// themselves), what lies beneath.
class TwoFacedScreen final : public ScreenGrabber {
public:
    explicit TwoFacedScreen(const FakeWindowService& windows) : windows_(windows) {}

    ImageView grab(const ScreenRect& rect) override {
        ++grabs_;
        awayGrabs_ = windows_.isAway() ? awayGrabs_ + 1 : 0;
        const std::size_t stride = static_cast<std::size_t>(rect.width) * 4;
        picture_.assign(stride * static_cast<std::size_t>(rect.height),
                        awayGrabs_ > 3 ? beneath : windowFace);
        return {rect.width, rect.height, PixelFormat::Bgrx32, stride, picture_, {}};
    }
    int grabs() const { return grabs_; }

private:
    const FakeWindowService& windows_;
    int grabs_ = 0;
    int awayGrabs_ = 0;
    std::vector<std::byte> picture_;
};

class ScreenUnderWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window_.setGeometry(40, 30, 120, 80);
        window_.setMask(QRegion(0, 0, 120, 20) + QRegion(100, 0, 20, 80));
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    QWidget window_;
};

TEST_F(ScreenUnderWindowTest, TakesTheWindowAwayAndWaitsForWhatLiesBeneath) {
    FakeWindowService windows;
    TwoFacedScreen screen(windows);
    const ImageView picture = grabUnderWindow(window_, screen, windows);
    const ScreenRect outer = outerRectInPixels(window_);
    EXPECT_EQ(picture.width, outer.width);
    EXPECT_EQ(picture.height, outer.height);
    EXPECT_EQ(picture.row(outer.height - 1)[0], beneath);
    EXPECT_GT(screen.grabs(), 4) << "the grab did not wait for the redraw";

    EXPECT_EQ(windows.takenAway(), 1);
    EXPECT_FALSE(windows.isAway()) << "the window did not come back";
    EXPECT_EQ(windows.lastWindow(), window_.winId());
    // The window's shape comes back as it was (at one pixel a point here).
    ASSERT_EQ(window_.devicePixelRatio(), 1.0);
    QRegion restored;
    for (const ScreenRect& rect : windows.lastShape())
        restored += QRect(rect.x, rect.y, rect.width, rect.height);
    EXPECT_EQ(restored, window_.mask());
}

TEST_F(ScreenUnderWindowTest, WithoutAWindowServiceTheScreenIsTakenAsItStands) {
    NullWindowService windows;
    FakeWindowService never;
    TwoFacedScreen screen(never);
    const ImageView picture = grabUnderWindow(window_, screen, windows);
    EXPECT_EQ(screen.grabs(), 1);
    EXPECT_EQ(picture.row(0)[0], windowFace);
}

} // namespace
} // namespace kadrix
