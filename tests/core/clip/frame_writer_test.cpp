// SPDX-License-Identifier: GPL-3.0-or-later
// A recording's frames written beside the frame timer and put into the clip
// as they come: every frame that reached the disk is in the clip, and no
// frame file is left.
#include "core/clip/assemble_clip.h"
#include "core/clip/frame_writer.h"
#include "core/error.h"
#include "core/file.h"
#include "core/naming/output_name.h"
#include "core/picture/bmp_writer.h"
#include "tests/support/avi_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

constexpr int width = 64;
constexpr int height = 48;

struct Recorded {
    int frames = 0;         // frames handed to the writer
    int written = 0;        // frames the writer put on disk
    std::string error;      // the write error that ended the recording
    std::size_t inClip = 0; // frames in the clip
};

// Records as the window does: at each tick the frame before must be on disk
// before the grab reuses its memory; a write error ends the recording.
Recorded record(const std::string& folder, int ticks, const FrameSink& sink) {
    std::vector<std::byte> screen(width * height * 4);
    Recorded recorded;
    RecordingClip clip(folder, "Vid000001.avi", 10, std::uint64_t(ticks));
    {
        FrameWriter writer([&](const std::string& path, const ImageView& picture) {
            sink(path, picture);
            clip.add(path);
        });
        try {
            for (int n = 1; n <= ticks; ++n) {
                writer.wait();
                // The grab: every frame its own grey, in the same memory.
                std::fill(screen.begin(), screen.end(), std::byte(n * 20));
                writer.write(outputPath(OutputKind::Frame, n, folder),
                             ImageView{width, height, PixelFormat::Bgrx32, width * 4, screen, {}});
                recorded.frames = n;
            }
            writer.wait();
        } catch (const Error& error) {
            recorded.error = error.what();
        }
        recorded.written = writer.written();
    }
    // The clip takes the frames on disk, from the first; those in it go.
    std::vector<std::string> frames;
    for (int n = 1; n <= recorded.written; ++n)
        frames.push_back(outputFileName(OutputKind::Frame, n));
    recorded.inClip = clip.finish(frames).frames;
    for (std::size_t n = 0; n < recorded.inClip; ++n)
        removeFile(folder + "/" + frames[n]);
    return recorded;
}

void expectClipOfFrames(const std::string& clip, int frames) {
    EXPECT_EQ(test::probeClip(clip).packets, frames);
    const std::vector<std::byte> decoded = test::decodeWithFfmpeg(clip, "bgr24");
    ASSERT_EQ(decoded.size(), std::size_t(frames) * width * height * 3);
    for (int f = 0; f < frames; ++f) {
        const auto first = decoded.begin() + std::ptrdiff_t(f) * width * height * 3;
        EXPECT_EQ(std::count(first, first + width * height * 3, std::byte((f + 1) * 20)),
                  width * height * 3)
            << "frame " << f + 1 << " is not the picture of its tick";
    }
}

const FrameSink writeFrame = [](const std::string& path, const ImageView& picture) {
    writeBmp(path, picture);
};

std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(FrameWriter, EveryFrameIsInTheClipAndNoneIsLeft) {
    test::TempDir folder("kadrix-writer");
    const Recorded recorded = record(folder.str(), 12, writeFrame);
    EXPECT_EQ(recorded.error, "");
    EXPECT_EQ(recorded.inClip, 12u);
    expectClipOfFrames(folder.path("Vid000001.avi"), 12);
    EXPECT_EQ(entries(folder.path()), std::set<std::string>{"Vid000001.avi"});
}

TEST(FrameWriter, WhenTheDiskFillsMidwayTheFramesBeforeMakeTheClipAndNoneIsLeft) {
    test::TempDir folder("kadrix-writer");
    int written = 0;
    // The sixth frame finds the disk full.
    const FrameSink fillsAtSix = [&](const std::string& path, const ImageView& picture) {
        if (++written == 6)
            throw systemError("Cannot write file", path, ENOSPC);
        writeBmp(path, picture);
    };
    const Recorded recorded = record(folder.str(), 12, fillsAtSix);
    EXPECT_EQ(recorded.error,
              "Cannot write file \"" + folder.path("Fr000006.bmp") + "\". No space left on device");
    EXPECT_EQ(recorded.frames, 6) << "the recording ends at the tick after the failure";
    EXPECT_EQ(recorded.written, 5);
    EXPECT_EQ(recorded.inClip, 5u);
    expectClipOfFrames(folder.path("Vid000001.avi"), 5);
    EXPECT_EQ(entries(folder.path()), std::set<std::string>{"Vid000001.avi"});
}

// A file that has a frame's name (kept from a clip that failed, or the
// user's) is never written over, nor taken into the clip, nor deleted.
TEST(FrameWriter, AFrameNeverReplacesAFileAndTheRecordingEndsBeforeIt) {
    test::TempDir folder("kadrix-writer");
    const std::vector<std::byte> kept(100, std::byte{0x5A});
    test::writeFile(folder.path("Fr000003.bmp"), kept);
    const Recorded recorded = record(folder.str(), 12, writeFrame);
    EXPECT_EQ(recorded.error,
              "Cannot create file \"" + folder.path("Fr000003.bmp") + "\". File exists");
    EXPECT_EQ(recorded.written, 2);
    EXPECT_EQ(recorded.inClip, 2u);
    expectClipOfFrames(folder.path("Vid000001.avi"), 2);
    EXPECT_EQ(entries(folder.path()), (std::set<std::string>{"Fr000003.bmp", "Vid000001.avi"}));
    EXPECT_EQ(test::readFile(folder.path("Fr000003.bmp")), kept);
}

} // namespace
} // namespace kadrix
