// SPDX-License-Identifier: GPL-3.0-or-later
// The player bar over the real media back-end: clips we wrote ourselves,
// their pictures checked against ffmpeg's decoding of the same file.
#include "core/clip/create_avi.h"
#include "core/error.h"
#include "core/picture/bmp_writer.h"
#include "platform/media_services.h"
#include "tests/support/fake_media.h"
#include "tests/support/ffmpeg_frames.h"
#include "tests/support/gui_wait.h"
#include "tests/support/screen_colors.h"
#include "tests/support/temp_dir.h"
#include "ui/handler.h"
#include "ui/media_player_bar.h"

#include <QImage>
#include <QToolButton>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::waitFor;

constexpr int clipWidth = 64;
constexpr int clipHeight = 48;
constexpr int clipFrames = 20; // 2 s at 10 a second

// Frame n in a colour of its own, far from its neighbours' colours.
QRgb frameColour(int n, int shift) {
    return qRgb((40 + 11 * n + shift) % 256, (230 - 9 * n) % 256, (60 + 97 * n) % 256);
}

// A clip of solid frames as the recorder writes it, in 32 or 16 bits.
void writeClip(const test::TempDir& dir, const std::string& clip, PixelFormat format,
               int shift = 0) {
    std::vector<std::string> frames;
    for (int n = 0; n < clipFrames; ++n) {
        QImage picture(clipWidth, clipHeight, QImage::Format_RGB32);
        picture.fill(frameColour(n, shift));
        std::vector<std::byte> pixels;
        ImageView view;
        view.width = clipWidth;
        view.height = clipHeight;
        view.format = format;
        if (format == PixelFormat::Rgb555) {
            const QImage converted = picture.convertToFormat(QImage::Format_RGB555);
            for (int y = 0; y < clipHeight; ++y) {
                const auto* row = reinterpret_cast<const std::byte*>(converted.constScanLine(y));
                pixels.insert(pixels.end(), row, row + clipWidth * 2);
            }
            view.stride = clipWidth * 2;
        } else {
            const auto* bits = reinterpret_cast<const std::byte*>(picture.constBits());
            pixels.assign(bits, bits + picture.sizeInBytes());
            view.stride = static_cast<std::size_t>(picture.bytesPerLine());
        }
        view.pixels = pixels;
        frames.push_back(dir.path("Fr" + std::to_string(1000 + n) + ".bmp"));
        writeBmp(frames.back(), view);
    }
    createAvi(dir.path(clip), frames, 10);
    for (const std::string& frame : frames)
        fs::remove(frame);
}

// The colour of each frame's middle as ffmpeg decodes the clip.
std::vector<QRgb> decodedMiddles(const std::string& clip) {
    const QByteArray raw = test::ffmpegFrames(clip, "rgb24");
    const int frameBytes = clipWidth * clipHeight * 3;
    std::vector<QRgb> middles;
    for (int at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        const auto* p = reinterpret_cast<const uchar*>(raw.constData()) + at +
                        ((clipHeight / 2) * clipWidth + clipWidth / 2) * 3;
        middles.push_back(qRgb(p[0], p[1], p[2]));
    }
    return middles;
}

bool near(QRgb a, QRgb b) {
    return test::near(QColor(a), QColor(b), 6);
}

QRgb shownMiddle(QWidget& display) {
    const QImage shown = display.grab().toImage();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
}

// Whether this process holds the file open, as the kernel sees it.
bool heldOpen(const std::string& path) {
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(fd.path(), error) == fs::path(path))
            return true;
    }
    return false;
}

struct PlayerBarTest : ::testing::Test {
    test::TempDir dir{"kadrix-player"};
    QWidget display;
    MediaPlayerBar bar{createClipPlayer};

    void SetUp() override {
        display.resize(2 * clipWidth, 2 * clipHeight);
        display.show();
        bar.show();
    }
    bool showsFrame(const std::vector<QRgb>& frames, int n) {
        return waitFor([&] { return near(shownMiddle(display), frames.at(n)); }, 5000);
    }
};

TEST_F(PlayerBarTest, StepsThroughAClipPictureByPicture) {
    writeClip(dir, "Vid000001.avi", PixelFormat::Bgrx32);
    const std::vector<QRgb> frames = decodedMiddles(dir.path("Vid000001.avi"));
    ASSERT_EQ(frames.size(), std::size_t{clipFrames});

    bar.open(dir.path("Vid000001.avi"), &display);
    ASSERT_TRUE(bar.isOpen());
    for (auto button : {MediaPlayerBar::Play, MediaPlayerBar::Pause, MediaPlayerBar::Stop,
                        MediaPlayerBar::Prev, MediaPlayerBar::Step, MediaPlayerBar::Back})
        EXPECT_TRUE(bar.button(button)->isEnabled()) << button;
    EXPECT_TRUE(showsFrame(frames, 0));

    // A tenth of 2 s is two pictures.
    bar.button(MediaPlayerBar::Step)->click();
    EXPECT_TRUE(showsFrame(frames, 2));
    bar.button(MediaPlayerBar::Step)->click();
    EXPECT_TRUE(showsFrame(frames, 4));
    bar.button(MediaPlayerBar::Back)->click();
    EXPECT_TRUE(showsFrame(frames, 2));
    // Stepping stops on the last picture, and goes on from the start.
    for (int n = 0; n < 9; ++n)
        bar.button(MediaPlayerBar::Step)->click();
    EXPECT_TRUE(showsFrame(frames, clipFrames - 1));
    bar.button(MediaPlayerBar::Step)->click();
    EXPECT_TRUE(showsFrame(frames, 0));

    // Played to the end, then played again from the start.
    bar.button(MediaPlayerBar::Play)->click();
    EXPECT_TRUE(showsFrame(frames, clipFrames - 1));
    bar.button(MediaPlayerBar::Play)->click();
    EXPECT_TRUE(waitFor([&] { return !near(shownMiddle(display), frames.back()); }, 5000));
}

TEST_F(PlayerBarTest, AClipItCannotPlayIsReportedWithTheBackEndsText) {
    writeClip(dir, "Vid000001.avi", PixelFormat::Bgrx32);
    writeClip(dir, "Vid000002.avi", PixelFormat::Rgb555);
    bar.open(dir.path("Vid000001.avi"), &display);

    const test::SeenMessageBox report = test::answerMessageBox(
        [&] { runHandler([&] { bar.open(dir.path("Vid000002.avi"), &display); }); });
    EXPECT_TRUE(report.shown);
    EXPECT_FALSE(report.text.isEmpty());
    EXPECT_FALSE(report.text.contains("Vid000001"));
    EXPECT_FALSE(bar.isOpen());
    EXPECT_TRUE(bar.fileName().empty());
    EXPECT_FALSE(bar.button(MediaPlayerBar::Play)->isEnabled());
    EXPECT_FALSE(bar.button(MediaPlayerBar::Step)->isEnabled());
    EXPECT_FALSE(heldOpen(dir.path("Vid000001.avi")));
    EXPECT_FALSE(heldOpen(dir.path("Vid000002.avi")));
}

TEST_F(PlayerBarTest, CloseLetsTheFileGo) {
    const std::string clip = dir.path("Vid000001.avi");
    writeClip(dir, "Vid000001.avi", PixelFormat::Bgrx32);
    bar.open(clip, &display);
    ASSERT_TRUE(heldOpen(clip));

    bar.close();
    EXPECT_FALSE(heldOpen(clip));
    EXPECT_FALSE(bar.button(MediaPlayerBar::Play)->isEnabled());
    ASSERT_TRUE(fs::remove(clip));
    writeClip(dir, "Vid000001.avi", PixelFormat::Bgrx32, 128);
    const std::vector<QRgb> frames = decodedMiddles(clip);
    bar.open(clip, &display);
    EXPECT_TRUE(showsFrame(frames, 0));
}

} // namespace
} // namespace kadrix

namespace kadrix {
namespace {

// The bar's rules step by step, over a player that moves only when told.
TEST(PlayerBarRules, ButtonsFollowTheFileAndEachDoesWhatItSays) {
    auto calls = std::make_shared<test::MediaCalls>();
    auto owned = std::make_unique<test::FakeClipPlayer>(calls);
    test::FakeClipPlayer& player = *owned;
    MediaPlayerBar bar([&owned] { return std::unique_ptr<ClipPlayer>(std::move(owned)); });
    const auto enabled = [&] {
        std::string on;
        for (auto button : {MediaPlayerBar::Play, MediaPlayerBar::Pause, MediaPlayerBar::Stop,
                            MediaPlayerBar::Prev, MediaPlayerBar::Step, MediaPlayerBar::Back})
            on += bar.button(button)->isEnabled() ? '1' : '0';
        return on;
    };
    const auto did = [&] {
        std::vector<std::string> done = calls->calls;
        calls->calls.clear();
        return done;
    };
    EXPECT_EQ(enabled(), "000000");

    // A sound: no stepping.
    player.nextHasVideo = false;
    bar.open("/music/ZVUK000001.wav", nullptr);
    EXPECT_EQ(enabled(), "111100");
    EXPECT_EQ(bar.fileName(), "/music/ZVUK000001.wav");

    // A clip: opening it closes the sound first.
    player.nextHasVideo = true;
    player.nextLength = std::chrono::milliseconds(3000);
    did();
    bar.open("/clips/Vid000001.avi", nullptr);
    EXPECT_EQ(did(), (std::vector<std::string>{"close", "open"}));
    EXPECT_EQ(enabled(), "111111");

    bar.button(MediaPlayerBar::Pause)->click(); // stopped: nothing to hold
    bar.button(MediaPlayerBar::Play)->click();
    bar.button(MediaPlayerBar::Pause)->click();
    bar.button(MediaPlayerBar::Pause)->click();
    bar.button(MediaPlayerBar::Stop)->click();
    EXPECT_EQ(did(), (std::vector<std::string>{"play", "pause", "play", "stop"}));

    bar.button(MediaPlayerBar::Back)->click(); // never before the start
    bar.button(MediaPlayerBar::Step)->click();
    bar.button(MediaPlayerBar::Step)->click();
    player.seek(std::chrono::milliseconds(2800));
    bar.button(MediaPlayerBar::Step)->click(); // stops on the last picture
    bar.button(MediaPlayerBar::Step)->click(); // and then starts again
    EXPECT_EQ(did(), (std::vector<std::string>{"seek 0", "seek 300", "seek 600", "seek 2800",
                                               "seek 2900", "seek 0"}));

    player.seek(std::chrono::milliseconds(2900));
    bar.button(MediaPlayerBar::Play)->click(); // at the end: from the start
    bar.button(MediaPlayerBar::Prev)->click();
    EXPECT_EQ(did(), (std::vector<std::string>{"seek 2900", "seek 0", "play", "seek 0"}));

    // A file it cannot play leaves the bar closed.
    player.nextError = "No decoder available";
    EXPECT_THROW(bar.open("/clips/Vid000002.avi", nullptr), Error);
    EXPECT_FALSE(bar.isOpen());
    EXPECT_TRUE(bar.fileName().empty());
    EXPECT_EQ(enabled(), "000000");
}

} // namespace
} // namespace kadrix
