// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's BMP decoding: every variant the program writes and the
// common foreign ones decode to the pixels they hold; hostile headers end in
// an error naming the file, before any pixel memory is taken.
#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_decode_check.h"
#include "tests/support/byte_fields.h"
#include "tests/support/convert_test_support.h"
#include "tests/support/test_files.h"
#include "ui/bmp_picture.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kadrix {
namespace {

using Bytes = std::vector<std::byte>;

using test::putField;

// A 7 x 5 picture whose colours differ by place, so that a swapped channel,
// a flipped row order or a wrong row step shows.
Rgb sampleColor(int x, int y) {
    return standardColors[static_cast<std::size_t>((x + 3 * y) % 16)];
}
constexpr int sampleWidth = 7;
constexpr int sampleHeight = 5;

std::vector<Rgb> standardPalette() {
    return {standardColors.begin(), standardColors.end()};
}

std::uint32_t indexAt(int x, int y) {
    return static_cast<std::uint32_t>((x + 3 * y) % 16);
}

// A file whose pixels are given as they are stored: a header with the given
// bit count and compression, the 16 standard colours as palette for 8 bits
// or fewer, masks after the header for bit fields, then data.
Bytes rawBmp(int bits, std::uint32_t compression, std::int32_t height, const Bytes& data,
             const std::vector<std::uint32_t>& masks = {}) {
    const std::size_t palette = bits <= 8 ? 16 * 4 : 0;
    const std::size_t offset = 54 + masks.size() * 4 + palette;
    Bytes b(offset);
    b[0] = std::byte{'B'};
    b[1] = std::byte{'M'};
    putField(b, 2, static_cast<std::uint32_t>(offset + data.size()));
    putField(b, 10, static_cast<std::uint32_t>(offset));
    putField(b, 14, 40);
    putField(b, 18, sampleWidth);
    putField(b, 22, static_cast<std::uint32_t>(height));
    putField(b, 26, 1, 2);
    putField(b, 28, static_cast<std::uint32_t>(bits), 2);
    putField(b, 30, compression);
    putField(b, 34, static_cast<std::uint32_t>(data.size()));
    std::size_t at = 54;
    for (const std::uint32_t mask : masks) {
        putField(b, at, mask);
        at += 4;
    }
    if (bits <= 8) {
        putField(b, 46, 16);
        for (const Rgb& c : standardColors) {
            b[at++] = std::byte{c.blue};
            b[at++] = std::byte{c.green};
            b[at++] = std::byte{c.red};
            at++;
        }
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// RLE8 and RLE4 streams of the sample picture: every pixel its own run of
// one (RLE4: two pixels a run), bottom row first.
Bytes rleData(int bits) {
    Bytes data;
    auto add = [&data](unsigned v) {
        data.push_back(std::byte(v));
    };
    for (int y = sampleHeight - 1; y >= 0; --y) {
        for (int x = 0; x < sampleWidth; x += bits == 8 ? 1 : 2) {
            if (bits == 8) {
                add(1);
                add(indexAt(x, y));
            } else {
                const bool pair = x + 1 < sampleWidth;
                add(pair ? 2 : 1);
                add(indexAt(x, y) << 4 | (pair ? indexAt(x + 1, y) : 0));
            }
        }
        add(0);
        add(0); // end of line
    }
    add(0);
    add(1); // end of bitmap
    return data;
}

// 16-bit 5-6-5 rows, bottom row first, each padded to four bytes.
Bytes rgb565Data() {
    Bytes data;
    for (int y = sampleHeight - 1; y >= 0; --y) {
        for (int x = 0; x < sampleWidth; ++x) {
            const Rgb c = sampleColor(x, y);
            const unsigned v = (c.red >> 3) << 11 | (c.green >> 2) << 5 | c.blue >> 3;
            data.push_back(std::byte(v & 0xFF));
            data.push_back(std::byte(v >> 8));
        }
        data.resize(data.size() + 2);
    }
    return data;
}

test::BmpRecipe recipeOf(int bits, bool topDown = false) {
    test::BmpRecipe recipe;
    recipe.bits = bits;
    recipe.width = sampleWidth;
    recipe.height = sampleHeight;
    recipe.topDown = topDown;
    if (bits <= 8)
        recipe.palette =
            bits == 1 ? std::vector<Rgb>{standardColors[0], standardColors[15]} : standardPalette();
    recipe.pixel = [bits](int x, int y) -> std::uint32_t {
        if (bits == 1)
            return indexAt(x, y) % 2;
        if (bits <= 8)
            return indexAt(x, y);
        const Rgb c = sampleColor(x, y);
        if (bits == 16)
            return (c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3;
        return static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
    };
    return recipe;
}

QImage decode(const std::string& path) {
    InputFile file(path);
    return decodeBmpPicture(file);
}

TEST(BmpPicture, EveryVariantDecodesToItsPixels) {
    test::TempDir dir;
    struct Case {
        const char* name;
        Bytes file;
        int channelBits; // what the stored pixels keep of each channel
        bool twoColours = false;
    };
    const std::vector<Case> cases{
        {"1 bit", test::makeBmp(recipeOf(1)), 8, true},
        {"4 bits", test::makeBmp(recipeOf(4)), 8},
        {"8 bits", test::makeBmp(recipeOf(8)), 8},
        {"16 bits 5-5-5", test::makeBmp(recipeOf(16)), 5},
        {"16 bits 5-6-5", rawBmp(16, 3, sampleHeight, rgb565Data(), {0xF800, 0x07E0, 0x001F}), 5},
        {"24 bits", test::makeBmp(recipeOf(24)), 8},
        {"32 bits", test::makeBmp(recipeOf(32)), 8},
        {"24 bits top-down", test::makeBmp(recipeOf(24, true)), 8},
        {"RLE8", rawBmp(8, 1, sampleHeight, rleData(8)), 8},
        {"RLE4", rawBmp(4, 2, sampleHeight, rleData(4)), 8},
    };
    for (const Case& c : cases) {
        const std::string path = dir.path(std::string(c.name) + ".bmp");
        test::writeFile(path, c.file);
        const QImage picture = decode(path);
        ASSERT_EQ(picture.size(), QSize(sampleWidth, sampleHeight)) << c.name;
        const int shift = 8 - c.channelBits;
        int wrong = 0;
        for (int y = 0; y < sampleHeight; ++y)
            for (int x = 0; x < sampleWidth; ++x) {
                const Rgb want =
                    c.twoColours ? standardColors[indexAt(x, y) % 2 ? 15 : 0] : sampleColor(x, y);
                const QColor got = picture.pixelColor(x, y);
                if ((got.red() >> shift != want.red >> shift ||
                     got.green() >> shift != want.green >> shift ||
                     got.blue() >> shift != want.blue >> shift) &&
                    ++wrong <= 2)
                    ADD_FAILURE() << c.name << ": pixel " << x << "," << y << " is "
                                  << got.name().toStdString();
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

// A picture larger than the box is reduced while it is decoded, each pixel
// the mean of those it covers: a picture of uniform 3 x 3 blocks reduced to
// one pixel a block shows each block's colour exactly, whatever the row
// order and pixel format.
TEST(BmpPicture, APreviewIsReducedWhileDecoded) {
    test::TempDir dir;
    for (const int bits : {4, 8, 24, 32})
        for (const bool topDown : {false, true}) {
            test::BmpRecipe recipe;
            recipe.bits = bits;
            recipe.width = 3 * 13;
            recipe.height = 3 * 7;
            recipe.topDown = topDown;
            if (bits <= 8)
                recipe.palette = standardPalette();
            recipe.pixel = [bits](int x, int y) -> std::uint32_t {
                const std::uint32_t index = indexAt(x / 3, y / 3);
                if (bits <= 8)
                    return index;
                const Rgb c = standardColors[index];
                return static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
            };
            const std::string path = dir.path("blocks.bmp");
            test::writeFile(path, test::makeBmp(recipe));
            InputFile file(path);
            const QImage shown = decodeBmpPreview(file, QSize(13, 100));
            ASSERT_EQ(shown.size(), QSize(13, 7)) << bits;
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x) {
                    const Rgb want = standardColors[indexAt(x, y)];
                    EXPECT_EQ(shown.pixelColor(x, y), QColor(want.red, want.green, want.blue))
                        << bits << " bits, top-down " << topDown << ", at " << x << "," << y;
                }
        }
}

// A header may ask for anything; the check refuses before the decoder
// allocates, naming the file, and a plan never reaches past the file.
TEST(BmpPicture, HostileHeadersAreRefusedNamingTheFile) {
    const Bytes good = test::makeBmp(recipeOf(24));
    struct Case {
        const char* name;
        test::Spoil change;
        std::uint64_t fileSize = 0; // 0: the bytes' own size
    };
    const std::vector<Case> cases{
        {"huge width", test::withField(18, 0x7FFFFFFF)},
        {"huge width and height",
         [](Bytes& b) {
             putField(b, 18, 100000);
             putField(b, 22, 100000);
         },
         std::uint64_t{1} << 40},
        {"width 0", test::withField(18, 0)},
        {"negative width", test::withField(18, 0xFFFFFFF0)},
        {"height 0", test::withField(22, 0)},
        {"most negative height", test::withField(22, 0x80000000)},
        {"offset past the end", test::withField(10, 0x10000)},
        {"offset inside the header", test::withField(10, 20)},
        {"truncated pixels", test::lastByteCut()},
        {"no pixels at all", test::cutTo(54)},
        {"truncated header", test::cutTo(30)},
        {"unknown header size", test::withField(14, 41)},
        {"7 bits a pixel", test::withField(28, 7, 2)},
        {"2 planes", test::withField(26, 2, 2)},
        {"RLE8 at 24 bits", test::withField(30, 1)},
        {"JPEG inside", test::withField(30, 4)},
    };
    for (const Case& c : cases) {
        Bytes b = good;
        c.change(b);
        const std::uint64_t size = c.fileSize ? c.fileSize : b.size();
        try {
            checkBmpBeforeDecoding(b, size, "/pictures/Pic000001.bmp");
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("\"/pictures/Pic000001.bmp\""),
                      std::string::npos)
                << c.name << ": " << error.what();
        }
    }
    // An 8K screenshot passes.
    Bytes eightK = good;
    putField(eightK, 18, 7680);
    putField(eightK, 22, 4320);
    putField(eightK, 28, 32, 2);
    const BmpDecodePlan plan = checkBmpBeforeDecoding(eightK, 54 + 7680ull * 4320 * 4, "8k.bmp");
    EXPECT_EQ(plan.bytesToRead, 54 + 7680ull * 4320 * 4);
}

// Qt refuses pictures over 128 MiB by default; a screenshot of an 8K 16:10
// screen (141 MiB) must still show.
TEST(BmpPicture, AScreenshotPastQtsDefaultLimitDecodes) {
    test::TempDir dir;
    constexpr int width = 7680;
    constexpr int height = 4800;
    // Bottom-up navy rows; the last pixel of the file is the top right one.
    Bytes file(54 + std::size_t{width} * height * 4);
    putField(file, 0, 'B' | 'M' << 8, 2);
    putField(file, 10, 54);
    putField(file, 14, 40);
    putField(file, 18, width);
    putField(file, 22, height);
    putField(file, 26, 1, 2);
    putField(file, 28, 32, 2);
    for (std::size_t at = 54; at < file.size(); at += 4)
        file[at] = std::byte{0x80};
    putField(file, file.size() - 4, 0xFF0000);
    const std::string path = dir.path("8k.bmp");
    test::writeFile(path, file);
    const QImage picture = decode(path);
    ASSERT_EQ(picture.size(), QSize(width, height));
    EXPECT_EQ(picture.pixelColor(width - 1, 0), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(0, height - 1), QColor(0, 0, 128));
}

} // namespace
} // namespace kadrix
