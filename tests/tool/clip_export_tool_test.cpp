// SPDX-License-Identifier: GPL-3.0-or-later
// kadrix-tool mp4, webm and gif end to end: every output read by ffprobe,
// the GIF's frames by Pillow, the MP4 measured against the clip by ffmpeg's
// PSNR; odd sizes and 16- and 8-bit clips; the tool's conventions; a disk
// that fills up half-way.
#include "tests/support/screen_clip.h"
#include "tests/support/small_disk.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::runCapturing;
using test::runCommand;

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

test::CommandResult tool(const std::string& arguments) {
    return runCapturing(quoted(KADRIX_TOOL) + " " + arguments + " 2>&1");
}

// codec, width, height, frame rate and frames decoded, as ffprobe reads them.
std::string probe(const std::string& path) {
    return runCommand("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                      "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 " +
                      quoted(path));
}

// The PSNR of the export's top-left width x height against the clip's frames.
double psnr(const std::string& exported, const std::string& clip, int width, int height) {
    const std::string output =
        runCommand("ffmpeg -nostats -i " + quoted(exported) + " -i " + quoted(clip) +
                   " -lavfi '[0:v]crop=" + std::to_string(width) + ":" + std::to_string(height) +
                   ":0:0:exact=1[a];[a][1:v]psnr' -f null - 2>&1");
    const std::size_t at = output.find("average:");
    return at == std::string::npos ? 0 : std::stod(output.substr(at + 8));
}

// Pillow's view of a GIF: its size, its frames, and the colour of one pixel
// of the first frame.
std::string pillowView(const std::string& gif, int x, int y) {
    return runCommand("/usr/bin/python3 -c 'import sys; from PIL import Image, ImageSequence; "
                      "im = Image.open(sys.argv[1]); "
                      "first = im.convert(\"RGB\").getpixel((" +
                      std::to_string(x) + ", " + std::to_string(y) +
                      ")); "
                      "n = sum(1 for _ in ImageSequence.Iterator(im)); "
                      "print(im.size[0], im.size[1], n, *first)' " +
                      quoted(gif));
}

TEST(ClipExportToolTest, EveryClipExportsToFilesThatIndependentReadersRead) {
    ASSERT_TRUE(test::haveProgram("ffprobe", "ffmpeg"));
    const struct {
        int bits, width, height;
    } clips[] = {{32, 320, 240}, {32, 301, 200}, {24, 160, 119}, {16, 160, 120}, {8, 160, 120}};
    constexpr int frames = 12;
    for (const auto& c : clips) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits, " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        const test::TempDir dir("kadrix-export-test");
        const std::string clip =
            test::writeScreenClip(dir.path(), "Vid000001.avi", c.width, c.height, c.bits, frames);
        const std::string stem = dir.path("Vid000001");
        for (const char* format : {"mp4", "webm", "gif"}) {
            const test::CommandResult run = tool(std::string(format) + " " + quoted(clip));
            EXPECT_EQ(run.status, 0) << run.output;
            EXPECT_EQ(run.output, stem + "." + format + "\n");
        }
        // H.264 in 4:2:0 gains a column or a row where a side is odd; the
        // others keep the clip's size. All keep its frames and rate.
        const auto size = [](int w, int h) {
            return std::to_string(w) + "," + std::to_string(h);
        };
        const std::string rest = ",10/1," + std::to_string(frames) + "\n";
        EXPECT_EQ(probe(stem + ".mp4"),
                  "h264," + size(c.width + c.width % 2, c.height + c.height % 2) + rest);
        EXPECT_EQ(probe(stem + ".webm"), "vp9," + size(c.width, c.height) + rest);
        EXPECT_EQ(probe(stem + ".gif"), "gif," + size(c.width, c.height) + rest);
        EXPECT_GT(psnr(stem + ".mp4", clip, c.width, c.height), 38.0);
        // The title bar's blue in the GIF, whatever the clip's depth.
        std::istringstream gif(pillowView(stem + ".gif", 5, 5));
        int width = 0, height = 0, count = 0, red = 0, green = 0, blue = 0;
        gif >> width >> height >> count >> red >> green >> blue;
        EXPECT_EQ(size(width, height), size(c.width, c.height));
        EXPECT_EQ(count, frames);
        EXPECT_NEAR(red, 40, 8);
        EXPECT_NEAR(green, 70, 8);
        EXPECT_NEAR(blue, 160, 8);
    }
}

TEST(ClipExportToolTest, ClipsAreExportedInOrderAndEachFailureNamesItsFile) {
    const test::TempDir dir("kadrix-export-tool");
    const std::string first = test::writeScreenClip(dir.path(), "a.avi", 64, 48, 32, 3);
    const std::string second = test::writeScreenClip(dir.path(), "b.avi", 64, 48, 32, 3);
    const std::string missing = dir.path("missing.avi");
    const std::string text = dir.path("notes.avi");
    test::writeFile(text, "not a clip");
    const test::CommandResult run = tool("gif " + quoted(first) + " " + quoted(missing) + " " +
                                         quoted(text) + " " + quoted(second));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, dir.path("a.gif") + "\n" + "kadrix-tool gif: Cannot open file \"" +
                              missing + "\". No such file or directory\n" +
                              "kadrix-tool gif: " + text +
                              ": not an AVI clip with a video stream\n" + dir.path("b.gif") + "\n");
    EXPECT_FALSE(fs::exists(dir.path("missing.gif")));
    EXPECT_FALSE(fs::exists(dir.path("notes.gif")));

    const test::CommandResult none = tool("webm");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.output,
              "kadrix-tool webm: no clip given\nusage: kadrix-tool webm CLIP.avi...\n");
}

TEST(ClipExportToolTest, ADiskThatFillsUpLeavesNoFileAndIsReported) {
    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    // Noise: no encoder makes it small enough for the room left beside it.
    const test::TempDir dir("kadrix-export-full");
    const std::string clip = disk.path("Vid000001.avi");
    fs::copy_file(test::writeScreenClip(dir.path(), "noise.avi", 160, 120, 32, 10, true), clip);
    disk.fillLeaving(64 * 1024);
    for (const char* format : {"mp4", "gif"}) {
        const std::string target = disk.path("Vid000001.") + format;
        const test::CommandResult run = tool(std::string(format) + " " + quoted(clip));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.output, "kadrix-tool " + std::string(format) + ": Cannot write file \"" +
                                  target + "\". No space left on device\n");
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(disk.str()))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"Vid000001.avi", "filler"}));
    }
}

} // namespace
} // namespace kadrix
