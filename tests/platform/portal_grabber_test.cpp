// SPDX-License-Identifier: GPL-3.0-or-later
// The screen grab of desktops without wlr-screencopy, through the real portal
// frontend, a stand-in ScreenCast backend and a PipeWire source of the test's
// own (scripts/portal-session), chosen as the program and the tool choose it.
#include "core/error.h"
#include "platform/linux/screen_capture_choice.h"
#include "tests/platform/test_video_source.h"
#include "tests/support/imagemagick_decode.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace kadrix {
namespace {

using test::TestVideoSource;
using Clock = std::chrono::steady_clock;

// The backend's steering folder (see tests/platform/screencast_backend.py).
std::string control(const std::string& name) {
    const char* folder = std::getenv("KADRIX_PORTAL_CONTROL");
    return std::string(folder ? folder : "") + "/" + name;
}

void writeControl(const std::string& name, const std::string& text) {
    std::ofstream(control(name)) << text;
}

int countInLog(const std::string& words) {
    const std::string log = test::readText(control("log"));
    int count = 0;
    for (std::size_t at = log.find(words); at != std::string::npos; at = log.find(words, at + 1))
        ++count;
    return count;
}

class PortalGrabberTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("KADRIX_PORTAL_CONTROL"), nullptr) << "run under portal-session";
        // The program's settings, where the permission is kept, are this test's.
        ::setenv("XDG_CONFIG_HOME", config_.str().c_str(), 1);
        std::filesystem::remove(control("log"));
        writeControl("answer", "grant");
    }

    // A monitor of the backend's screen cast: the source, placed in the
    // desktop's logical layout.
    void shareMonitor(const TestVideoSource& source, int x, int y, int width, int height) {
        writeControl("streams", std::to_string(source.node()) + " " + std::to_string(x) + " " +
                                    std::to_string(y) + " " + std::to_string(width) + " " +
                                    std::to_string(height) + "\n");
    }

    static std::unique_ptr<ScreenGrabber> chooseGrabber() {
        ScreenCaptureChoice choice = chooseScreenCapture(currentSessionEnvironment());
        EXPECT_TRUE(choice.wayland);
        EXPECT_EQ(choice.notice, "");
        return std::move(choice.grabber);
    }

    // Counts the picture's pixels that differ from the pattern, whose pixel
    // at (x0 + x * step, y0 + y * step) each of them must show.
    static int wrongPixels(const ImageView& picture, int x0, int y0, int step, int phase) {
        int wrong = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const std::uint8_t* pixel = picture.rowBytes(y) + x * bgrxBytesPerPixel;
                const test::PatternColor c =
                    test::patternColor(x0 + x * step, y0 + y * step, phase);
                if (pixel[bgrxRed] != c.red || pixel[bgrxGreen] != c.green ||
                    pixel[bgrxBlue] != c.blue)
                    ++wrong;
            }
        return wrong;
    }

    test::TempDir config_{"kadrix-portal-config"};
};

class PortalByteOrderTest : public PortalGrabberTest,
                            public ::testing::WithParamInterface<TestVideoSource::Order> {};

TEST_P(PortalByteOrderTest, CropsTheStreamPixelExactAndMapsTheLogicalLayoutToItsPixels) {
    TestVideoSource source(640, 480, GetParam());
    {
        // A monitor whose stream has its logical size.
        shareMonitor(source, 0, 0, 640, 480);
        const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
        const ImageView picture = grabber->grab({37, 21, 101, 67});
        ASSERT_EQ(picture.width, 101);
        ASSERT_EQ(picture.height, 67);
        EXPECT_EQ(picture.format, PixelFormat::Bgrx32);
        EXPECT_EQ(wrongPixels(picture, 37, 21, 1, 0), 0);

        // Past the monitor's corner: its part, black beyond.
        const ImageView corner = grabber->grab({600, 450, 60, 50});
        ASSERT_EQ(corner.width, 60);
        const std::uint8_t* inside = corner.rowBytes(29) + 39 * bgrxBytesPerPixel;
        EXPECT_EQ(inside[bgrxRed], 639 % 251);
        EXPECT_EQ(inside[bgrxGreen], 479 % 241);
        const std::uint8_t* outside = corner.rowBytes(49) + 59 * bgrxBytesPerPixel;
        EXPECT_EQ(outside[bgrxRed] | outside[bgrxGreen] | outside[bgrxBlue], 0);

        // A change on a resting screen just after the click is in the picture:
        // a still waits a moment for a picture newer than the click.
        source.setSending(false);
        grabber->grab({0, 0, 1, 1});
        std::thread change([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            source.resume(9);
        });
        const ImageView changed = grabber->grab({300, 200, 40, 30});
        change.join();
        EXPECT_EQ(wrongPixels(changed, 300, 200, 1, 9), 0);
    }
    {
        // A monitor at scale 2 placed at (100, 50): its 320 x 240 logical
        // pixels are the stream's 640 x 480, and the picture has those.
        shareMonitor(source, 100, 50, 320, 240);
        const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
        const ImageView picture = grabber->grab({110, 60, 50, 40});
        ASSERT_EQ(picture.width, 100);
        ASSERT_EQ(picture.height, 80);
        EXPECT_EQ(wrongPixels(picture, 20, 20, 1, 9), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, PortalByteOrderTest,
                         ::testing::Values(TestVideoSource::Order::Bgrx,
                                           TestVideoSource::Order::Rgbx),
                         [](const auto& order) {
                             return order.param == TestVideoSource::Order::Bgrx ? "Bgrx" : "Rgbx";
                         });

TEST_F(PortalGrabberTest, AsksTheUserOnceAndKeepsThePermissionForLaterRunsAndTheTool) {
    TestVideoSource source(320, 240, TestVideoSource::Order::Bgrx);
    shareMonitor(source, 0, 0, 320, 240);
    const std::string settings = config_.path("kadrix/kadrix.conf");
    {
        const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
        // Entering the frame asks; the grab waits for the answer.
        grabber->prepare();
        EXPECT_EQ(wrongPixels(grabber->grab({5, 6, 70, 80}), 5, 6, 1, 0), 0);
    }
    // Every monitor, the pointer hidden, kept until the user revokes it.
    EXPECT_EQ(countInLog("SelectSources asked types=1 multiple=1 cursor=1 persist=2"), 1)
        << test::readText(control("log"));
    const std::string firstSettings = test::readText(settings);
    ASSERT_NE(firstSettings.find("RestoreToken="), std::string::npos) << firstSettings;

    // Later runs are not asked: the user would say no now.
    writeControl("answer", "deny");
    {
        const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
        EXPECT_EQ(wrongPixels(grabber->grab({5, 6, 70, 80}), 5, 6, 1, 0), 0);
    }
    EXPECT_EQ(countInLog("SelectSources restored"), 1) << test::readText(control("log"));
    EXPECT_EQ(countInLog("Start denied"), 0);
    EXPECT_NE(test::readText(settings).find("RestoreToken="), std::string::npos);

    // kadrix-tool makes the same choice and reads the same permission.
    const std::string bmp = config_.path("shot.bmp");
    const std::string command =
        KADRIX_BINARY_DIR "/tool/kadrix-tool snap 10 20 30 40 '" + bmp + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    const std::vector<std::uint8_t> rgba = decodeRgbaWithImageMagick(bmp, 30, 40);
    ASSERT_FALSE(rgba.empty());
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 30; ++x) {
            const std::uint8_t* pixel = &rgba[static_cast<std::size_t>((y * 30 + x) * 4)];
            const test::PatternColor c = test::patternColor(10 + x, 20 + y, 0);
            wrong += pixel[0] != c.red || pixel[1] != c.green || pixel[2] != c.blue;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(countInLog("Start denied"), 0);
}

TEST_F(PortalGrabberTest, ARefusalIsToldInWordsOnceAskedAndNeverGivesABlackPicture) {
    TestVideoSource source(320, 240, TestVideoSource::Order::Bgrx);
    shareMonitor(source, 0, 0, 320, 240);
    writeControl("answer", "deny");
    const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            grabber->grab({0, 0, 10, 10});
            ADD_FAILURE() << "a grab without the user's permission gave a picture";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("разрешение снимать экран не дано"),
                      std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(countInLog("Start denied"), 1) << "the user is asked once per run";
    EXPECT_FALSE(std::filesystem::exists(config_.path("kadrix/kadrix.conf")));

    // The program ends while the user still has the question open: it does
    // not wait for the answer.
    writeControl("answer", "none");
    std::unique_ptr<ScreenGrabber> asking = chooseGrabber();
    asking->prepare();
    const Clock::time_point asked = Clock::now();
    while (countInLog("Start unanswered") == 0 && Clock::now() - asked < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(countInLog("Start unanswered"), 1);
    const Clock::time_point ending = Clock::now();
    asking.reset();
    EXPECT_LT(Clock::now() - ending, std::chrono::seconds(2));
}

TEST_F(PortalGrabberTest, ASourceThatStopsSendingStillGivesItsLatestPicture) {
    TestVideoSource source(320, 240, TestVideoSource::Order::Rgbx);
    shareMonitor(source, 0, 0, 320, 240);
    const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
    EXPECT_EQ(wrongPixels(grabber->grab({0, 0, 320, 240}), 0, 0, 1, 0), 0);
    source.showPhase(3);
    // A still screen: the desktop sends nothing more.
    source.setSending(false);
    const Clock::time_point start = Clock::now();
    const ImageView picture = grabber->grab({50, 60, 70, 80});
    const auto took = Clock::now() - start;
    EXPECT_EQ(wrongPixels(picture, 50, 60, 1, 3), 0);
    // It waits for a newer picture a moment only.
    EXPECT_LT(took, std::chrono::milliseconds(1000));
}

TEST_F(PortalGrabberTest, ASessionTheDesktopEndedBeginsAnewWithoutAskingAgain) {
    auto source = std::make_unique<TestVideoSource>(320, 240, TestVideoSource::Order::Bgrx);
    shareMonitor(*source, 0, 0, 320, 240);
    const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
    EXPECT_EQ(wrongPixels(grabber->grab({10, 10, 50, 50}), 10, 10, 1, 0), 0);
    // The desktop stops sharing; the user would refuse if asked again.
    writeControl("answer", "deny");
    source.reset();
    TestVideoSource next(320, 240, TestVideoSource::Order::Rgbx);
    next.setPhase(5);
    shareMonitor(next, 0, 0, 320, 240);
    EXPECT_EQ(wrongPixels(grabber->grab({10, 10, 50, 50}), 10, 10, 1, 5), 0);
    EXPECT_EQ(countInLog("Start granted"), 2) << test::readText(control("log"));
    EXPECT_EQ(countInLog("SelectSources restored"), 1);
}

// Under portal-session --screenshots, whose portal also offers screenshots.
TEST_F(PortalGrabberTest, ScreenshotsServeStillsWhereTheUserRefusesTheScreenCast) {
    const char* screenshots = std::getenv("KADRIX_PORTAL_SCREENSHOTS");
    if (!screenshots || std::string(screenshots) == "0")
        GTEST_SKIP() << "the portal offers no screenshots in this session";
    TestVideoSource source(320, 240, TestVideoSource::Order::Bgrx);
    shareMonitor(source, 0, 0, 320, 240);
    writeControl("answer", "deny");
    writeControl("screenshot", "500 300");
    const std::unique_ptr<ScreenGrabber> grabber = chooseGrabber();
    const ImageView picture = grabber->grab({260, 40, 101, 67});
    ASSERT_EQ(picture.width, 101);
    ASSERT_EQ(picture.height, 67);
    EXPECT_EQ(wrongPixels(picture, 260, 40, 1, 0), 0);
    EXPECT_EQ(countInLog("Start denied"), 1);
    EXPECT_EQ(countInLog("Screenshot "), 1);
    // The portal's file was made for this grab alone.
    EXPECT_FALSE(std::filesystem::exists(control("screenshot1.png")));
}

} // namespace
} // namespace kadrix
