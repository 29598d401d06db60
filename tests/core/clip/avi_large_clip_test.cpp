// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/create_avi.h"
#include "tests/support/avi_test_support.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t gib = std::uint64_t{1} << 30;

std::vector<std::string> namesOf(const std::vector<test::RiffChunk>& chunks) {
    std::vector<std::string> names;
    for (const test::RiffChunk& chunk : chunks)
        names.push_back(chunk.name());
    return names;
}

std::vector<test::RiffChunk> childrenOf(std::istream& in, const test::RiffChunk& list) {
    return test::riffChunks(in, list.offset + 12, list.offset + 8 + list.size);
}

// Readers forgive much (ffmpeg and GStreamer scan for frames when sizes or
// indexes are wrong), so the layout is checked as well: RIFFs of at most
// 1 GiB up to the end of the file, the first 'AVI ', the others 'AVIX'; the
// super index has one standard index per RIFF, which point at frame chunks
// and together count every frame, as does dmlh.
void expectOpenDmlLayout(const std::string& clip, std::uint64_t size, int count) {
    std::ifstream in(clip, std::ios::binary);
    const std::vector<test::RiffChunk> riffs = test::riffChunks(in, 0, size);
    ASSERT_GE(riffs.size(), 5u);
    for (std::size_t i = 0; i < riffs.size(); ++i) {
        EXPECT_EQ(riffs[i].name(), i == 0 ? "RIFF AVI " : "RIFF AVIX");
        EXPECT_LE(riffs[i].size, gib);
    }
    EXPECT_EQ(riffs.back().offset + 8 + riffs.back().size, size);

    const std::vector<test::RiffChunk> first = childrenOf(in, riffs[0]);
    ASSERT_EQ(namesOf(first), (std::vector<std::string>{"LIST hdrl", "LIST movi", "idx1"}));
    const std::vector<test::RiffChunk> hdrl = childrenOf(in, first[0]);
    ASSERT_EQ(namesOf(hdrl), (std::vector<std::string>{"avih", "LIST strl", "LIST odml"}));
    const std::vector<test::RiffChunk> odml = childrenOf(in, hdrl[2]);
    ASSERT_EQ(namesOf(odml), std::vector<std::string>{"dmlh"});
    EXPECT_EQ(test::u32At(test::readAt(in, odml[0].offset + 8, 4), 0), std::uint32_t(count));
    const std::vector<test::RiffChunk> strl = childrenOf(in, hdrl[1]);
    ASSERT_EQ(namesOf(strl), (std::vector<std::string>{"strh", "strf", "indx"}));

    const std::vector<std::byte> index = test::readAt(in, strl[2].offset + 8, strl[2].size);
    ASSERT_EQ(test::u32At(index, 4), riffs.size()) << "entries in use";
    std::uint64_t frames = 0;
    for (std::size_t i = 0; i < riffs.size(); ++i) {
        const std::uint64_t at = test::u64At(index, 24 + 16 * i);
        const std::uint32_t duration = test::u32At(index, 24 + 16 * i + 12);
        EXPECT_GT(at, riffs[i].offset);
        EXPECT_LT(at, riffs[i].offset + 8 + riffs[i].size);
        const std::vector<std::byte> standard = test::readAt(in, at, 40);
        EXPECT_EQ(test::textAt(standard, 0), "ix00");
        EXPECT_EQ(test::u32At(standard, 12), duration) << "entries of RIFF " << i;
        const std::uint64_t firstFrame = test::u64At(standard, 20) + test::u32At(standard, 32);
        EXPECT_EQ(test::textAt(test::readAt(in, firstFrame - 8, 4), 0), "00db");
        frames += duration;
    }
    EXPECT_EQ(frames, std::uint64_t(count));
}

// 30 s of full-screen recording on a 4K screen: 135 frames of 3840 x 2160 x
// 32 bits, 4.5 GB, past the 1 GiB limit of a RIFF and the 4 GiB limit of
// 32-bit sizes. Three frame files are listed over and over.
TEST(AviLargeClipTest, ClipBeyond4GiBIsReadWhole) {
    constexpr int width = 3840;
    constexpr int height = 2160;
    constexpr int count = 135;
    const test::TempDir dir("kadrix-avi-large");
    const std::uint64_t frameBytes = std::uint64_t{width} * height * 4;
    const std::uint64_t needed = count * (frameBytes + 8) + 3 * frameBytes + gib;
    const std::uint64_t available = fs::space(dir.path()).available;
    if (available < needed)
        GTEST_SKIP() << "a clip beyond 4 GiB needs " << needed / gib + 1 << " GiB free in "
                     << dir.str() << ", there are " << available / gib << " GiB";

    std::vector<test::TestFrame> frames;
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(test::makeFrame(width, height, 32, i + 1));
        files.push_back((dir.path() / ("Fr00000" + std::to_string(i + 1) + ".bmp")).string());
        test::writeFile(files.back(), frames.back().file);
    }
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(files[static_cast<std::size_t>(i % 3)]);
    const std::string clip = (dir.path() / "Vid000001.avi").string();

    createAvi(clip, paths, 10);

    const std::uint64_t size = fs::file_size(clip);
    ASSERT_GT(size, 4 * gib);
    expectOpenDmlLayout(clip, size, count);
    const test::ClipInfo info = test::probeClip(clip);
    EXPECT_EQ(info.packets, count);
    EXPECT_EQ(info.headerFrames, count);
    EXPECT_EQ(info.width, width);
    EXPECT_EQ(info.height, height);
    EXPECT_EQ(info.rate, "10/1");

    // The last frame, beyond 4 GiB, found through the OpenDML index.
    const std::vector<std::byte> last =
        test::withoutAlpha(test::decodeWithFfmpeg(clip, "bgra", "-ss 13.4"));
    const test::TestFrame& expected = frames[(count - 1) % 3];
    ASSERT_EQ(last.size(), expected.pixels.size());
    EXPECT_TRUE(std::equal(last.begin(), last.end(), expected.pixels.begin()));

    if (!test::haveProgram("gst-launch-1.0"))
        GTEST_SKIP() << "gst-launch-1.0 (gstreamer1.0-tools) is not installed: "
                        "GStreamer's reading of the clip is not checked";
    std::istringstream lines(
        test::runCommand("gst-launch-1.0 -v filesrc location=" + test::quoted(clip) +
                         " ! avidemux ! fakesink silent=false"));
    const std::string frameBuffer = "(" + std::to_string(frameBytes) + " bytes";
    int buffers = 0;
    for (std::string line; std::getline(lines, line);)
        buffers +=
            line.find("chain") != std::string::npos && line.find(frameBuffer) != std::string::npos;
    EXPECT_EQ(buffers, count) << "frames that GStreamer's demuxer delivers";
}

} // namespace
} // namespace kadrix
