// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/jpeg_encoder.h"
#include "core/error.h"
#include "tests/support/convert_test_support.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace kadrix {
namespace {

using test::Canvas;

// An asymmetric picture with an odd width: a red block top-left, a blue
// block right, a gradient elsewhere, so that swapped channels, mirrored rows
// or a wrong row step all show.
Canvas samplePicture(std::size_t padding = 0) {
    Canvas canvas(53, 37, padding);
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 53; ++x) {
            Rgb c{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 6),
                  static_cast<std::uint8_t>(128)};
            if (x < 16 && y < 16)
                c = {255, 0, 0};
            else if (x >= 40)
                c = {0, 0, 255};
            canvas.set(x, y, c);
        }
    return canvas;
}

std::vector<std::byte> asBmp(const Canvas& canvas) {
    const ImageView v = canvas.view();
    return test::makeBmp({24, v.width, v.height, false, {}, [&](int x, int y) {
                              const Rgb c = canvas.get(x, y);
                              return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 |
                                     c.blue;
                          }});
}

// The markers of a JPEG stream with their payloads, in order; entropy-coded
// data after SOS is skipped.
struct Segment {
    int marker;
    std::vector<std::uint8_t> payload;
};

std::vector<Segment> segmentsOf(const std::vector<std::byte>& jpeg) {
    std::vector<Segment> segments;
    std::size_t i = 0;
    auto at = [&](std::size_t k) {
        return std::to_integer<int>(jpeg.at(k));
    };
    while (i + 1 < jpeg.size()) {
        if (at(i) != 0xFF) {
            ADD_FAILURE() << "no marker at " << i;
            break;
        }
        const int marker = at(i + 1);
        i += 2;
        if (marker == 0xD8 || marker == 0xD9) {
            segments.push_back({marker, {}});
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(at(i) << 8 | at(i + 1));
        Segment s{marker, {}};
        for (std::size_t k = i + 2; k < i + length; ++k)
            s.payload.push_back(static_cast<std::uint8_t>(at(k)));
        segments.push_back(s);
        i += length;
        if (marker ==
            0xDA) { // skip the scan: up to the next marker that is not a stuffed byte or RST
            while (i + 1 < jpeg.size() &&
                   !(at(i) == 0xFF && at(i + 1) != 0 && (at(i + 1) < 0xD0 || at(i + 1) > 0xD7)))
                ++i;
        }
    }
    return segments;
}

// The example tables of the JPEG standard (ITU T.81 Annex K), row by row.
constexpr std::array<int, 64> standardLuminance{
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> standardChrominance{
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Position in the 8 x 8 block of the k-th coefficient in zig-zag order.
constexpr std::array<int, 64> zigzag{
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int quality90(int entry) {
    return std::clamp((entry * 20 + 50) / 100, 1, 255);
}

TEST(JpegEncoder, MatchesCjpegAtQuality90BaselineByteForByte) {
    if (!test::haveProgram("cjpeg", "libjpeg-turbo-progs"))
        return;
    test::TempDir dir;
    const Canvas picture = samplePicture();
    test::writeFile(dir.path("in.bmp"), asBmp(picture));
    const std::string reference =
        test::runCommand("cjpeg -quality 90 -baseline '" + dir.path("in.bmp") + "'");
    const std::vector<std::byte> ours = encodeJpeg(picture.view());
    ASSERT_FALSE(reference.empty());
    EXPECT_TRUE(std::equal(ours.begin(), ours.end(),
                           reinterpret_cast<const std::byte*>(reference.data()),
                           reinterpret_cast<const std::byte*>(reference.data() + reference.size())))
        << "our stream differs from cjpeg's (" << ours.size() << " vs " << reference.size()
        << " bytes)";
}

TEST(JpegEncoder, StreamHasOnlyTheDefaultMarkersAndQuality90Tables) {
    const std::vector<std::byte> jpeg = encodeJpeg(samplePicture().view());
    const std::vector<Segment> segments = segmentsOf(jpeg);
    ASSERT_GE(segments.size(), 4u);
    EXPECT_EQ(segments.front().marker, 0xD8);
    EXPECT_EQ(segments.back().marker, 0xD9);
    EXPECT_EQ(std::to_integer<int>(jpeg[jpeg.size() - 2]), 0xFF) << "bytes after EOI";

    std::vector<int> markers;
    for (const Segment& s : segments)
        markers.push_back(s.marker);
    // SOI, JFIF, two quantisation tables, baseline frame, four Huffman
    // tables, one scan, EOI: no comment, no restart interval, nothing else.
    EXPECT_EQ(markers,
              (std::vector<int>{0xD8, 0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA, 0xD9}));

    const auto& jfif = segments[1].payload;
    EXPECT_EQ(jfif, (std::vector<std::uint8_t>{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}))
        << "JFIF 1.01, no units, aspect 1:1, no thumbnail";

    for (int table = 0; table < 2; ++table) {
        const auto& dqt = segments[2 + static_cast<std::size_t>(table)].payload;
        ASSERT_EQ(dqt.size(), 65u);
        EXPECT_EQ(dqt[0], table) << "8-bit precision, table id";
        const auto& standard = table == 0 ? standardLuminance : standardChrominance;
        for (std::size_t k = 0; k < 64; ++k)
            EXPECT_EQ(dqt[1 + k], quality90(standard[static_cast<std::size_t>(zigzag[k])]))
                << "table " << table << " coefficient " << k;
    }

    const auto& sof = segments[4].payload;
    EXPECT_EQ(sof,
              (std::vector<std::uint8_t>{8, 0, 37, 0, 53, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}))
        << "8-bit, 53 x 37, Y at 2x2 with table 0, Cb and Cr at 1x1 with table 1";
}

TEST(JpegEncoder, DjpegDecodesTheColoursInPlace) {
    if (!test::haveProgram("djpeg", "libjpeg-turbo-progs"))
        return;
    test::TempDir dir;
    // Spare bytes after each row must not leak into the picture.
    const Canvas picture = samplePicture(12);
    writeJpeg(picture.view(), dir.path("out.jpg"));
    EXPECT_EQ(encodeJpeg(picture.view()), encodeJpeg(samplePicture().view()));

    std::istringstream ppm(test::runCommand("djpeg -pnm '" + dir.path("out.jpg") + "'"));
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    ppm >> magic >> width >> height >> maxValue;
    ppm.get();
    ASSERT_EQ(magic, "P6");
    ASSERT_EQ(width, 53);
    ASSERT_EQ(height, 37);
    long totalError = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb want = picture.get(x, y);
            const int r = ppm.get(), g = ppm.get(), b = ppm.get();
            totalError +=
                std::abs(r - want.red) + std::abs(g - want.green) + std::abs(b - want.blue);
            if (x < 14 && y < 14) { // inside the red block
                EXPECT_TRUE(r > 235 && g < 20 && b < 20)
                    << x << "," << y << ": " << r << " " << g << " " << b;
            }
            if (x >= 42) { // inside the blue block
                EXPECT_TRUE(r < 20 && g < 20 && b > 235)
                    << x << "," << y << ": " << r << " " << g << " " << b;
            }
        }
    EXPECT_LT(static_cast<double>(totalError) / (width * height * 3), 3.0);
}

TEST(JpegEncoder, AnEmptyPictureGivesAnEmptyFile) {
    test::TempDir dir;
    const std::string path = dir.path("empty.jpg");
    for (const auto& [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        const Canvas empty(w, h);
        EXPECT_TRUE(encodeJpeg(empty.view()).empty()) << w << " x " << h;
        test::writeFile(path, encodeJpeg(samplePicture().view())); // an older file is replaced
        writeJpeg(empty.view(), path);
        EXPECT_EQ(std::filesystem::file_size(path), 0u) << w << " x " << h;
    }
}

TEST(JpegEncoder, LibraryRefusalIsAnErrorAndWritesNothing) {
    test::TempDir dir;
    const Canvas tooWide(65501, 1);
    const std::string path = dir.path("wide.jpg");
    try {
        writeJpeg(tooWide.view(), path);
        FAIL() << "a picture wider than JPEG allows was encoded";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("65500"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(JpegEncoder, AnUncreatableFileNamesThePath) {
    test::TempDir dir;
    const std::string path = dir.path("missing/out.jpg");
    try {
        writeJpeg(samplePicture().view(), path);
        FAIL() << "wrote into a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

} // namespace
} // namespace kadrix
