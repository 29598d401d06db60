// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/assemble_clip.h"
#include "core/clip/create_avi.h"
#include "tests/support/avi_test_support.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::TestFrame;

using test::textAt;
using test::u32At;

using test::u16At;

// Index of the first differing byte, -1 when equal (sizes compared first).
long firstDifference(std::span<const std::byte> a, std::span<const std::byte> b) {
    if (a.size() != b.size())
        return static_cast<long>(std::min(a.size(), b.size()));
    const auto [at, ignored] = std::mismatch(a.begin(), a.end(), b.begin());
    return at == a.end() ? -1 : static_cast<long>(at - a.begin());
}

class AviClipTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }

    // Writes the frames as Fr000001.bmp, Fr000002.bmp... and returns their paths.
    std::vector<std::string> writeFrames(const std::vector<TestFrame>& frames) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Fr%06zu.bmp", i + 1);
            paths.push_back(path(name));
            test::writeFile(paths.back(), frames[i].file);
        }
        return paths;
    }

    std::set<std::string> folderEntries() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::set<std::string> names(const std::vector<std::string>& paths) const {
        std::set<std::string> result;
        for (const std::string& p : paths)
            result.insert(fs::path(p).filename().string());
        return result;
    }

    test::TempDir dir_{"kadrix-avi-test"};
};

struct DecodeCase {
    const char* name;
    int bits;
    int width;
    int height;
    int frames;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

class AviDecodeTest : public AviClipTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(AviDecodeTest, FfmpegReadsEveryFrameWithTheFramesPixels) {
    const DecodeCase c = GetParam();
    std::vector<TestFrame> frames;
    for (int i = 0; i < c.frames; ++i)
        frames.push_back(test::makeFrame(c.width, c.height, c.bits, i + 1));
    const std::vector<std::string> paths = writeFrames(frames);
    const std::string clip = path("Vid000001.avi");

    createAvi(clip, paths, 10);

    const test::ClipInfo info = test::probeClip(clip);
    EXPECT_EQ(info.codec, "rawvideo");
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(info.rate, "10/1");
    EXPECT_EQ(info.headerFrames, c.frames);
    EXPECT_EQ(info.packets, c.frames);

    const TestFrame& first = frames.front();
    std::vector<std::byte> decoded = test::decodeWithFfmpeg(clip, first.pixelFormat);
    if (first.alphaIgnored)
        decoded = test::withoutAlpha(std::move(decoded));
    ASSERT_EQ(decoded.size(), first.frameBytes * frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto frame = std::span(decoded).subspan(i * first.frameBytes, first.frameBytes);
        EXPECT_EQ(firstDifference(frame, frames[i].pixels), -1) << "frame " << i;
        // The expected pixels are what an independent reader sees in the file.
        std::vector<std::byte> fromFile = test::decodeWithFfmpeg(paths[i], first.pixelFormat);
        if (first.alphaIgnored)
            fromFile = test::withoutAlpha(std::move(fromFile));
        EXPECT_EQ(firstDifference(fromFile, frames[i].pixels), -1) << "frame file " << i;
    }
    EXPECT_EQ(folderEntries().size(), paths.size() + 1) << "only the frames and the clip";
}

INSTANTIATE_TEST_SUITE_P(Depths, AviDecodeTest,
                         ::testing::Values(DecodeCase{"Bgrx32", 32, 7, 5, 4},
                                           DecodeCase{"Bgr24OddWidth", 24, 5, 3, 3},
                                           DecodeCase{"Rgb555OddWidth", 16, 5, 4, 3},
                                           DecodeCase{"ColourTable8OddWidth", 8, 5, 3, 3},
                                           DecodeCase{"OneFrame", 32, 6, 4, 1}),
                         [](const auto& param) { return std::string(param.param.name); });

std::vector<std::string> namesIn(std::istream& file, std::uint64_t begin, std::uint64_t end) {
    std::vector<std::string> names;
    for (const test::RiffChunk& chunk : test::riffChunks(file, begin, end))
        names.push_back(chunk.name());
    return names;
}

class AviLayoutTest : public AviClipTest, public ::testing::WithParamInterface<int> {};

// What ffprobe does not show: the stream header's fields, the format taken
// from the first frame file, plain AVI 1.0 with key frames in idx1.
TEST_P(AviLayoutTest, SmallClipIsPlainAviWithTheFirstFramesFormat) {
    const int bits = GetParam();
    const std::vector<TestFrame> frames = {test::makeFrame(5, 3, bits, 1),
                                           test::makeFrame(5, 3, bits, 2)};
    const std::string clip = path("Vid000001.avi");
    createAvi(clip, writeFrames(frames), 10);
    const std::vector<std::byte> file = test::readFile(clip);
    std::ifstream in(clip, std::ios::binary);
    const std::span<const std::byte> first = frames[0].file;
    const std::uint32_t pixelOffset = u32At(first, 10);
    const std::uint32_t imageSize = u32At(first, 34);

    ASSERT_EQ(namesIn(in, 0, file.size()), std::vector<std::string>{"RIFF AVI "});
    EXPECT_EQ(u32At(file, 4) + 8u, file.size());
    const std::vector<test::RiffChunk> riff = test::riffChunks(in, 12, file.size());
    ASSERT_EQ(namesIn(in, 12, file.size()),
              (std::vector<std::string>{"LIST hdrl", "LIST movi", "idx1"}));
    const std::vector<test::RiffChunk> hdrl =
        test::riffChunks(in, riff[0].offset + 12, riff[1].offset);
    ASSERT_EQ(namesIn(in, riff[0].offset + 12, riff[1].offset),
              (std::vector<std::string>{"avih", "LIST strl", "JUNK"}));
    const std::size_t avih = hdrl[0].offset + 8;
    EXPECT_EQ(u32At(file, avih + 16), 2u) << "total frames";
    EXPECT_EQ(u32At(file, avih + 12) & 0x10, 0x10u) << "has index";
    const std::vector<test::RiffChunk> strl =
        test::riffChunks(in, hdrl[1].offset + 12, hdrl[2].offset);
    ASSERT_EQ(namesIn(in, hdrl[1].offset + 12, hdrl[2].offset),
              (std::vector<std::string>{"strh", "strf", "JUNK"}));

    const std::size_t strh = strl[0].offset + 8;
    EXPECT_EQ(textAt(file, strh), "vids");
    EXPECT_EQ(u32At(file, strh + 4), 0u) << "handler";
    EXPECT_EQ(u32At(file, strh + 20), 1u) << "scale";
    EXPECT_EQ(u32At(file, strh + 24), 10u) << "rate";
    EXPECT_EQ(u32At(file, strh + 32), 2u) << "length";
    EXPECT_EQ(u32At(file, strh + 36), imageSize) << "suggested buffer size";
    EXPECT_EQ(u32At(file, strh + 40), 0u) << "quality";
    EXPECT_EQ(u32At(file, strh + 44), 0u) << "sample size";
    EXPECT_EQ(u16At(file, strh + 52), 5u) << "frame right";
    EXPECT_EQ(u16At(file, strh + 54), 3u) << "frame bottom";

    const std::size_t strf = strl[1].offset + 8;
    EXPECT_EQ(strl[1].size, pixelOffset - 14) << "info header and colour table";
    EXPECT_TRUE(std::equal(first.begin() + 14, first.begin() + pixelOffset, file.begin() + strf));

    const std::vector<test::RiffChunk> movi =
        test::riffChunks(in, riff[1].offset + 12, riff[2].offset);
    ASSERT_EQ(namesIn(in, riff[1].offset + 12, riff[2].offset),
              (std::vector<std::string>{"00db", "00db"}));
    const std::size_t idx1 = riff[2].offset + 8;
    ASSERT_EQ(riff[2].size, 32u);
    for (std::size_t i = 0; i < movi.size(); ++i) {
        EXPECT_EQ(movi[i].size, imageSize);
        const auto pixels = std::span(frames[i].file).subspan(pixelOffset, imageSize);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + movi[i].offset + 8));
        const std::size_t entry = idx1 + 16 * i;
        EXPECT_EQ(textAt(file, entry), "00db");
        EXPECT_EQ(u32At(file, entry + 4), 0x10u) << "key frame";
        EXPECT_EQ(u32At(file, entry + 8), movi[i].offset - (riff[1].offset + 8));
        EXPECT_EQ(u32At(file, entry + 12), imageSize);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, AviLayoutTest, ::testing::Values(32, 8));

TEST_F(AviClipTest, EveryListedFileIsAFrameAndStays) {
    // A stray frame of an earlier recording, listed after this one's.
    const std::vector<TestFrame> frames = {
        test::makeFrame(4, 3, 32, 1), test::makeFrame(4, 3, 32, 2), test::makeFrame(4, 3, 32, 9)};
    std::vector<std::string> paths = writeFrames(frames);
    fs::rename(paths[2], path("Fr999999.bmp"));
    paths[2] = path("Fr999999.bmp");
    const std::string clip = path("Vid000001.avi");

    createAvi(clip, paths, 10);

    EXPECT_EQ(test::probeClip(clip).packets, 3);
    const std::vector<std::byte> decoded = test::withoutAlpha(test::decodeWithFfmpeg(clip, "bgra"));
    ASSERT_EQ(decoded.size(), 3 * frames[2].frameBytes);
    EXPECT_EQ(firstDifference(std::span(decoded).last(frames[2].frameBytes), frames[2].pixels), -1);
    std::set<std::string> expected = names(paths);
    expected.insert("Vid000001.avi");
    EXPECT_EQ(folderEntries(), expected);
}

// The frame the clip holds for a picture of another size: its top left
// part, black where it does not reach (decoded bgra rows, top-down).
std::vector<std::byte> fittedPixels(const TestFrame& frame, int width, int height, int toWidth,
                                    int toHeight) {
    std::vector<std::byte> fitted(static_cast<std::size_t>(toWidth * toHeight * 4), std::byte{0});
    for (int y = 0; y < std::min(height, toHeight); ++y)
        for (int x = 0; x < std::min(width, toWidth); ++x)
            for (int c = 0; c < 3; ++c)
                fitted[static_cast<std::size_t>((y * toWidth + x) * 4 + c)] =
                    frame.pixels[static_cast<std::size_t>((y * width + x) * 4 + c)];
    return fitted;
}

TEST_F(AviClipTest, FramesOfAnotherSizeAreFittedAtTheTopLeft) {
    // Wider and taller, narrower and shorter, wider and shorter.
    const std::vector<TestFrame> frames = {
        test::makeFrame(5, 4, 32, 1), test::makeFrame(7, 6, 32, 2), test::makeFrame(3, 2, 32, 3),
        test::makeFrame(9, 1, 32, 4)};
    const std::string clip = path("Vid000001.avi");

    const ClipOutcome outcome = createAvi(clip, writeFrames(frames), 10);

    EXPECT_EQ(outcome.frames, 4u);
    EXPECT_EQ(outcome.inputError, "");
    const test::ClipInfo info = test::probeClip(clip);
    EXPECT_EQ(info.packets, 4);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 4);
    const std::vector<std::byte> decoded = test::withoutAlpha(test::decodeWithFfmpeg(clip, "bgra"));
    ASSERT_EQ(decoded.size(), 4u * 5 * 4 * 4);
    const int sizes[][2] = {{5, 4}, {7, 6}, {3, 2}, {9, 1}};
    for (std::size_t f = 0; f < frames.size(); ++f)
        EXPECT_EQ(firstDifference(std::span(decoded).subspan(f * 80, 80),
                                  fittedPixels(frames[f], sizes[f][0], sizes[f][1], 5, 4)),
                  -1)
            << "frame " << f;
}

TEST_F(AviClipTest, ReplacesAnOldClip) {
    const std::string clip = path("Vid000001.avi");
    test::writeFile(clip, std::vector<std::byte>(100000, std::byte{'x'}));

    createAvi(clip, writeFrames({test::makeFrame(4, 3, 32, 1), test::makeFrame(4, 3, 32, 2)}), 10);

    const std::vector<std::byte> file = test::readFile(clip);
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(u32At(file, 4) + 8u, file.size()) << "nothing of the old clip after the new one";
    EXPECT_EQ(test::probeClip(clip).packets, 2);
}

// Frame files that the assembly cannot read: the error names the file; the
// frames before it make the clip, and without any there is no clip (neither
// the old one nor a part of the new one).
struct InputCase {
    const char* name;
    std::size_t badFrame;
    test::Spoil spoil; // none: the file is missing
};

void PrintTo(const InputCase& c, std::ostream* out) {
    *out << c.name;
}

class AviInputErrorTest : public AviClipTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(AviInputErrorTest, EndsTheClipBeforeTheFrameWithAnErrorNamingIt) {
    const InputCase c = GetParam();
    std::vector<TestFrame> frames;
    for (int i = 0; i < 4; ++i)
        frames.push_back(test::makeFrame(4, 3, 32, i + 1));
    if (c.spoil)
        c.spoil(frames[c.badFrame].file);
    std::vector<std::string> paths = writeFrames(frames);
    if (!c.spoil)
        fs::remove(paths[c.badFrame]);
    const std::string clip = path("Vid000001.avi");
    test::writeFile(clip, std::vector<std::byte>(1000, std::byte{'x'}));
    const std::set<std::string> before = folderEntries();

    std::string error;
    try {
        const ClipOutcome outcome = createAvi(clip, paths, 10);
        EXPECT_EQ(outcome.frames, c.badFrame);
        error = outcome.inputError;
    } catch (const AviWriteError& writeError) {
        FAIL() << "reported as a write failure: " << writeError.what();
    } catch (const Error& inputError) {
        EXPECT_EQ(c.badFrame, 0u) << "no clip of the frames before";
        error = inputError.what();
    }
    EXPECT_NE(error.find(paths[c.badFrame]), std::string::npos) << error;
    if (c.badFrame == 0) {
        EXPECT_EQ(test::readFile(clip), std::vector<std::byte>(1000, std::byte{'x'}))
            << "no clip: the older one stays";
    } else {
        // A whole clip: counts and index tell of exactly the frames before.
        const test::ClipInfo info = test::probeClip(clip);
        EXPECT_EQ(info.headerFrames, static_cast<long>(c.badFrame));
        EXPECT_EQ(info.packets, static_cast<long>(c.badFrame));
        const std::vector<std::byte> file = test::readFile(clip);
        EXPECT_EQ(u32At(file, 4) + 8u, file.size());
        EXPECT_EQ(test::runCommand("ffmpeg -v error -i " + test::quoted(clip) + " -f null - 2>&1"),
                  "");
    }
    EXPECT_EQ(folderEntries(), before) << "every frame file stays";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, AviInputErrorTest,
    ::testing::Values(
        InputCase{"MissingFirstFrame", 0, nullptr}, InputCase{"MissingLaterFrame", 2, nullptr},
        InputCase{"ShorterLaterFrame", 1, test::lastByteCut()},
        InputCase{"LaterFrameNotABmp", 3, test::withField(1, 'X', 1)},
        InputCase{"LaterFrameOfAnotherDepth", 2, test::withField(28, 24, 1)},
        InputCase{"FirstFrameShorterThanItsHeaderSays", 0, test::lastByteCut()},
        InputCase{"FirstFrameHeaderCut", 0, test::cutTo(40)},
        InputCase{"NotABmp", 0, test::withField(0, 'X', 1)},
        InputCase{"NegativeWidth", 0, test::withField(18, static_cast<std::uint32_t>(-4))},
        InputCase{"NegativeHeight", 0, test::withField(22, static_cast<std::uint32_t>(-3))},
        InputCase{"ImageSizeZero", 0, test::withField(34, 0)},
        InputCase{"ImageSizeNegative", 0, test::withField(34, 0x80000000)},
        InputCase{"PixelOffset14", 0, test::withField(10, 14)},
        InputCase{"PixelsInsideTheInfoHeader", 0, test::withField(10, 53)}),
    [](const auto& param) { return std::string(param.param.name); });

// Writes beyond this size fail (EFBIG) for this process while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// The report names the file and the reason; an older clip of the name stays
// as it was.
TEST_F(AviClipTest, WriteFailureIsReportedAndLeavesTheOlderClip) {
    std::vector<TestFrame> frames;
    for (int i = 0; i < 5; ++i)
        frames.push_back(test::makeFrame(64, 48, 32, i + 1));
    const std::vector<std::string> paths = writeFrames(frames);
    const std::string clip = path("Vid000001.avi");
    createAvi(clip, paths, 10);
    const auto wholeSize = static_cast<rlim_t>(fs::file_size(clip));
    const std::vector<std::byte> older(90, std::byte{'o'});
    test::writeFile(clip, older);
    const std::set<std::string> before = folderEntries();

    // In the headers, amid the frames, in the index at the end.
    for (const rlim_t limit : {rlim_t{100}, rlim_t{20000}, wholeSize - 20}) {
        SCOPED_TRACE("file size limit " + std::to_string(limit));
        try {
            const FileSizeLimit fileSizeLimit(limit);
            createAvi(clip, paths, 10);
            ADD_FAILURE() << "the clip was written";
        } catch (const AviWriteError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Error during Write AVI File\nCannot write file \"" + clip +
                          "\". File too large");
        }
        EXPECT_EQ(folderEntries(), before);
        EXPECT_EQ(test::readFile(clip), older);
    }
}

// The frames (names in folder) put into a recording's clip one by one as they
// come, then the stop step.
ClipOutcome recordClip(const std::string& folder, const std::string& clip,
                       std::span<const std::string> names) {
    RecordingClip recording(folder, clip, 10, names.size());
    for (const std::string& name : names)
        recording.add(folder + "/" + name);
    return recording.finish(names);
}

// A frame the clip lacks is the user's only copy: it is moved out of the way
// of the next recording, whole, and the report says where. The frames before
// it make the clip.
TEST_F(AviClipTest, TheFramesThatCannotGoIntoTheClipAreMovedAsideWhole) {
    std::vector<TestFrame> frames;
    for (int i = 0; i < 4; ++i)
        frames.push_back(test::makeFrame(64, 48, 32, i + 1));
    frames[2].file.resize(100);
    std::vector<std::string> names;
    for (const std::string& frame : writeFrames(frames))
        names.push_back(fs::path(frame).filename().string());
    const auto entriesOf = [](const std::string& folder) {
        std::set<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            found.insert(entry.path().filename().string());
        return found;
    };
    const auto expectKept = [&](const std::string& folder, std::size_t from) {
        EXPECT_EQ(
            entriesOf(folder),
            std::set<std::string>(names.begin() + static_cast<std::ptrdiff_t>(from), names.end()));
        for (std::size_t i = from; i < names.size(); ++i)
            EXPECT_EQ(test::readFile(folder + "/" + names[i]), frames[i].file) << names[i];
    };

    // The disk fills at the second frame: the first makes the clip, the rest
    // move to a new folder named for the clip; the name the user already has
    // is left alone.
    fs::create_directory(path("Vid000001"));
    {
        const FileSizeLimit fileSizeLimit(20000);
        const ClipOutcome outcome = recordClip(dir_.str(), "Vid000001.avi", names);
        EXPECT_EQ(outcome.frames, 1u);
        EXPECT_EQ(outcome.inputError, "Error during Write AVI File\nCannot write file \"" +
                                          path("Vid000001.avi") +
                                          "\". File too large\nThe frames not in the clip are "
                                          "kept in \"" +
                                          path("Vid000001-2") + "\".");
    }
    EXPECT_EQ(test::probeClip(path("Vid000001.avi")).packets, 1);
    EXPECT_EQ(folderEntries(),
              (std::set<std::string>{"Fr000001.bmp", "Vid000001", "Vid000001-2", "Vid000001.avi"}));
    EXPECT_TRUE(fs::is_empty(path("Vid000001")));
    expectKept(path("Vid000001-2"), 1);

    // A frame that cannot be read ends the clip: the rest move aside.
    const std::string folder = path("Vid000001-2");
    const std::vector<std::string> rest(names.begin() + 1, names.end());
    const ClipOutcome outcome = recordClip(folder, "Vid000002.avi", rest);
    EXPECT_EQ(outcome.frames, 1u);
    EXPECT_NE(outcome.inputError.find("Fr000003.bmp"), std::string::npos) << outcome.inputError;
    EXPECT_TRUE(outcome.inputError.ends_with("\nThe frames not in the clip are kept in \"" +
                                             folder + "/Vid000002\"."))
        << outcome.inputError;
    EXPECT_EQ(entriesOf(folder),
              (std::set<std::string>{"Fr000002.bmp", "Vid000002", "Vid000002.avi"}));
    expectKept(folder + "/Vid000002", 2);

    // Nothing goes in: no clip, and every frame is kept.
    EXPECT_THROW(recordClip(folder + "/Vid000002", "Vid000003.avi",
                            std::vector<std::string>(names.begin() + 2, names.end())),
                 Error);
    EXPECT_FALSE(fs::exists(folder + "/Vid000002/Vid000003.avi"));
    expectKept(folder + "/Vid000002/Vid000003", 2);
}

TEST_F(AviClipTest, ClipThatCannotBeCreatedIsAnErrorNamingItsFolder) {
    const std::vector<std::string> paths = writeFrames({test::makeFrame(4, 3, 32, 1)});
    const std::string folder = path("missing");
    try {
        createAvi(folder + "/Vid000001.avi", paths, 10);
        FAIL() << "the clip was written";
    } catch (const AviWriteError& error) {
        FAIL() << "reported as a write failure: " << error.what();
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(folder), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos)
            << error.what();
    }
}

class AviGStreamerTest : public AviClipTest, public ::testing::WithParamInterface<int> {};

// The program's own player plays clips through GStreamer.
TEST_P(AviGStreamerTest, GStreamerDecodesTheClip) {
    if (!test::haveProgram("gst-launch-1.0") ||
        std::system("gst-inspect-1.0 avidemux >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gst-launch-1.0 and avidemux (gstreamer1.0-tools, "
                        "gstreamer1.0-plugins-good) are not installed";
    const int bits = GetParam();
    std::vector<TestFrame> frames;
    // GStreamer pads its rows to 4 bytes: a width of 8 needs no padding.
    for (int i = 0; i < 3; ++i)
        frames.push_back(test::makeFrame(8, 5, bits, i + 1));
    const std::string clip = path("Vid000001.avi");
    createAvi(clip, writeFrames(frames), 10);
    const std::string raw = path("decoded.raw");
    const std::string format = bits == 24 ? "BGR" : "BGRx";

    test::runCommand("gst-launch-1.0 -q filesrc location=" + test::quoted(clip) +
                     " ! decodebin ! videoconvert ! video/x-raw,format=" + format +
                     " ! filesink location=" + test::quoted(raw));

    std::vector<std::byte> decoded = test::readFile(raw);
    if (frames[0].alphaIgnored)
        decoded = test::withoutAlpha(std::move(decoded));
    std::vector<std::byte> expected;
    for (const TestFrame& frame : frames)
        expected.insert(expected.end(), frame.pixels.begin(), frame.pixels.end());
    EXPECT_EQ(firstDifference(decoded, expected), -1);
}

// GStreamer has no decoder for 16-bit uncompressed frames (its RIFF caps
// cover 8, 24 and 32 bits), whatever the clip's layout.
INSTANTIATE_TEST_SUITE_P(Depths, AviGStreamerTest, ::testing::Values(32, 24, 8));

} // namespace
} // namespace kadrix
