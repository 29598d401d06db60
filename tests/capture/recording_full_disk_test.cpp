// SPDX-License-Identifier: GPL-3.0-or-later
// A recording whose clip is put together as it goes, on a disk that fills
// midway: every frame is in the clip or kept whole, the clip plays, and
// nothing half-written lies under a final name.
#include "capture/clip_recording.h"
#include "core/error.h"
#include "tests/support/avi_test_support.h"
#include "tests/support/fake_window_service.h"
#include "tests/support/small_disk.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

constexpr int width = 96;
constexpr int height = 64;
constexpr std::size_t frameBytes = std::size_t(width) * height * 4;

// The grey of the nth grab: every frame differs from the one before.
std::byte greyOf(int n) {
    return std::byte(n * 37 % 251);
}

// A screen that shows another grey at each grab.
class ChangingScreen final : public ScreenGrabber {
public:
    ImageView grab(const ScreenRect& rect) override {
        picture_.assign(frameBytes, greyOf(++grabs_));
        return {rect.width, rect.height, PixelFormat::Bgrx32, std::size_t(width) * 4, picture_, {}};
    }

private:
    int grabs_ = 0;
    std::vector<std::byte> picture_;
};

// Whether a frame file is whole and shows the nth grab.
bool wholeFrame(const fs::path& file, int n) {
    const std::vector<std::byte> bytes = test::readFile(file.string());
    if (bytes.size() != 54 + frameBytes || test::u32At(bytes, 2) != bytes.size())
        return false;
    for (std::size_t i = 54; i < bytes.size(); ++i)
        if (bytes[i] != ((i - 54) % 4 == 3 ? std::byte{0} : greyOf(n)))
            return false;
    return true;
}

// The frame number of "Fr000007.bmp".
int frameNumber(const fs::path& file) {
    return std::stoi(file.stem().string().substr(2));
}

TEST(RecordingOnAFullDisk, EveryFrameIsInTheClipOrKeptAndNothingIsHalfWritten) {
    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const fs::path folder = disk.str();
    bool someKept = false;
    // The disk fills at every point of a frame's way: its file, its copy
    // into the clip, the clip's index.
    for (int shift = 0; shift < 13; ++shift) {
        SCOPED_TRACE("filler " + std::to_string(shift) + " pages larger");
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            fs::remove_all(entry.path());
        disk.fillLeaving(600 * 1024 - std::size_t(shift) * 4096);

        ChangingScreen screen;
        FakeWindowService windows;
        std::vector<RecordingReport> reports;
        std::size_t recorded = 0;
        {
            ClipRecording recording(screen, windows, RecordedArea{nullptr, {0, 0, width, height}},
                                    folder.string(), 1, 30);
            try {
                for (int tick = 0; tick < 150; ++tick)
                    recording.tick();
            } catch (const Error& error) {
                reports.push_back({error.what(), true});
            }
            const std::vector<RecordingReport> end = recording.finish();
            reports.insert(reports.end(), end.begin(), end.end());
            recorded = recording.frames().size();
        } // the frames in the clip are deleted by now
        ASSERT_FALSE(reports.empty()) << "the disk never filled";
        ASSERT_GT(recorded, 0u);

        long inClip = 0;
        const fs::path clip = folder / "Vid000001.avi";
        if (fs::exists(clip)) {
            const test::ClipInfo info = test::probeClip(clip.string());
            EXPECT_EQ(info.headerFrames, info.packets);
            inClip = info.packets;
            const std::vector<std::byte> decoded = test::decodeWithFfmpeg(clip.string(), "bgr24");
            ASSERT_EQ(decoded.size(), std::size_t(inClip) * width * height * 3);
            for (long f = 0; f < inClip; ++f)
                EXPECT_EQ(decoded[std::size_t(f) * width * height * 3], greyOf(int(f) + 1))
                    << "clip frame " << f;
        }
        std::vector<int> kept;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            const fs::path& path = entry.path();
            const std::string name = path.filename().string();
            if (entry.is_directory() || name == "filler" || path == clip)
                continue;
            ASSERT_TRUE(name.starts_with("Fr") && name.ends_with(".bmp")) << path;
            EXPECT_EQ(path.parent_path(), folder / "Vid000001") << "kept aside";
            EXPECT_TRUE(wholeFrame(path, frameNumber(path))) << path;
            kept.push_back(frameNumber(path));
        }
        std::sort(kept.begin(), kept.end());
        for (std::size_t k = 0; k < kept.size(); ++k)
            EXPECT_EQ(kept[k], inClip + long(k) + 1) << "the frames after the clip's";
        EXPECT_EQ(std::size_t(inClip) + kept.size(), recorded) << "a frame lost";
        someKept = someKept || !kept.empty();
    }
    EXPECT_TRUE(someKept) << "the disk never filled while a frame went into the clip";
}

} // namespace
} // namespace kadrix
