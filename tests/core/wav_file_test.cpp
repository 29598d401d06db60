// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"
#include "core/wav_file.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <vector>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

// What soxi, an independent reader, says about a file ("-c", "-r", "-s").
std::string soxi(const char* what, const std::string& path) {
    const std::string command = std::string("soxi ") + what + " '" + path + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::array<char, 128> line{};
    if (!pipe || !std::fgets(line.data(), line.size(), pipe.get()))
        return {};
    std::string text = line.data();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WavFile, TheHeaderIsTheCanonicalFortyFourBytes) {
    const auto header = wavHeader({.channels = 2, .sampleRate = 48000, .bitsPerSample = 16}, 1000);
    const unsigned char expected[] = {
        'R',  'I',  'F', 'F', 0x0c, 0x04, 0, 0, 'W', 'A', 'V', 'E', // 36 + 1000
        'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   2,   0,   // PCM, 2 channels
        0x80, 0xbb, 0,   0,   0x00, 0xee, 2, 0, 4,   0,   16,  0,   // 48000, 192000, 4, 16
        'd',  'a',  't', 'a', 0xe8, 0x03, 0, 0};                    // 1000
    ASSERT_EQ(header.size(), sizeof expected);
    for (std::size_t i = 0; i < header.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(header[i]), expected[i]) << "byte " << i;
}

TEST(WavFile, SoxReadsWhatIsWritten) {
    test::TempDir dir("kadrix-wav");
    struct Case {
        PcmFormat format;
        std::size_t bytes;
        const char* channels;
        const char* rate;
        const char* samples;
    };
    const Case cases[] = {
        {{.channels = 2, .sampleRate = 44100, .bitsPerSample = 16},
         44100 * 4,
         "2",
         "44100",
         "44100"},
        {{.channels = 1, .sampleRate = 11025, .bitsPerSample = 8}, 3, "1", "11025", "3"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.path("ZVUK000001.wav");
        writeWavFile(path, c.format, std::vector<std::byte>(c.bytes, std::byte{0x11}));
        EXPECT_EQ(soxi("-c", path), c.channels);
        EXPECT_EQ(soxi("-r", path), c.rate);
        EXPECT_EQ(soxi("-s", path), c.samples);
        // An odd data chunk is padded to an even length.
        EXPECT_EQ(fs::file_size(path), wavHeaderSize + c.bytes + (c.bytes & 1));
        EXPECT_EQ(fileBytes(path).at(4), (36 + c.bytes + (c.bytes & 1)) & 0xff);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no file beside it";
}

TEST(WavFile, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    test::TempDir dir("kadrix-wav");
    const PcmFormat mono{.channels = 1, .sampleRate = 8000, .bitsPerSample = 16};
    EXPECT_THROW(writeWavFile(dir.path("missing/ZVUK000001.wav"), mono, {}), Error);
    EXPECT_THROW(wavHeader({.channels = 0, .sampleRate = 8000, .bitsPerSample = 16}, 0),
                 std::invalid_argument);
    EXPECT_THROW(wavHeader(mono, std::uint64_t{1} << 32), std::invalid_argument);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

} // namespace
} // namespace kadrix
