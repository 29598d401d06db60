// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_headers.h"
#include "core/picture/bmp_writer.h"
#include "tests/support/imagemagick_decode.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

struct Rgb {
    std::uint8_t red, green, blue;
};

// Red and blue first, so that a picture of two colours is red on blue; a
// colour with three different channels catches swapped ones.
Rgb colourNumber(int k) {
    static const Rgb first[] = {{255, 0, 0}, {0, 0, 255},        {0, 255, 0},  {255, 255, 255},
                                {0, 0, 0},   {0x12, 0x34, 0x56}, {255, 255, 0}};
    if (k < 7)
        return first[k];
    return {static_cast<std::uint8_t>(k * 41), static_cast<std::uint8_t>(255 - k * 7),
            static_cast<std::uint8_t>(k * 3)};
}

// Which of `colours` colours a pixel has: no two neighbours alike, and the
// picture differs from its mirror images.
int colourAt(int x, int y, int colours) {
    return (3 * x + 5 * y + x * y) % colours;
}

struct OwnedImage {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    std::size_t stride = 0;
    std::vector<std::byte> pixels;
    std::vector<PaletteColor> palette;

    ImageView view() const { return {width, height, format, stride, pixels, palette}; }
};

void put(std::byte* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::byte>(value >> (8 * i));
}

// The picture in the given format, as a screen would hold it. Rows carry junk
// after their pixels, and 32-bit pixels junk in their unused byte: none of it
// may reach the file.
OwnedImage makeImage(PixelFormat format, int width, int height, int colours) {
    const int bytes = bitsPerPixel(format) / 8;
    OwnedImage image{width, height, format, static_cast<std::size_t>(width * bytes + 3), {}, {}};
    image.pixels.assign(image.stride * static_cast<std::size_t>(height), std::byte{0xee});
    if (format == PixelFormat::Indexed8)
        for (int k = 0; k < colours; ++k)
            image.palette.push_back(
                {colourNumber(k).red, colourNumber(k).green, colourNumber(k).blue});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int k = colourAt(x, y, colours);
            const Rgb c = colourNumber(k);
            std::uint32_t value = 0;
            switch (format) {
            case PixelFormat::Indexed8:
                value = static_cast<std::uint32_t>(k);
                break;
            case PixelFormat::Rgb555:
                value = (c.red >> 3u) << 10 | (c.green >> 3u) << 5 | c.blue >> 3u;
                break;
            case PixelFormat::Rgb565:
                value = (c.red >> 3u) << 11 | (c.green >> 2u) << 5 | c.blue >> 3u;
                break;
            case PixelFormat::Bgr24:
            case PixelFormat::Bgrx32:
                value = 0x80000000u | c.red << 16u | c.green << 8u | c.blue;
                break;
            }
            put(image.pixels.data() + static_cast<std::size_t>(y) * image.stride +
                    static_cast<std::size_t>(x * bytes),
                value, bytes);
        }
    }
    return image;
}

std::vector<std::byte> readAll(const std::string& path) {
    InputFile file(path);
    std::vector<std::byte> bytes(file.size());
    file.readExact(0, bytes);
    return bytes;
}

class BmpWriterTest : public ::testing::Test {
protected:
    test::TempDir temp_;
    fs::path dir_ = temp_.path();
};

struct LayoutCase {
    PixelFormat format;
    int width;
    int height;
    int colours;
    std::uint16_t bitCount;
    std::uint32_t pixelOffset;
    std::size_t rowLength;
    std::uint32_t fileSize;
};

TEST_F(BmpWriterTest, HeadersPaddingAndPixelsAsAnIndependentReaderSeesThem) {
    const LayoutCase cases[] = {
        {PixelFormat::Bgrx32, 300, 200, 7, 32, 54, 1200, 54 + 300 * 4 * 200},
        {PixelFormat::Bgrx32, 5, 3, 2, 32, 54, 20, 54 + 60},
        {PixelFormat::Bgr24, 301, 3, 9, 24, 54, 904, 54 + 904 * 3},
        {PixelFormat::Bgr24, 5, 3, 2, 24, 54, 16, 54 + 48},
        {PixelFormat::Rgb555, 301, 3, 7, 16, 54, 604, 54 + 604 * 3},
        {PixelFormat::Rgb565, 301, 3, 7, 16, 54, 604, 54 + 604 * 3},
        {PixelFormat::Rgb565, 5, 3, 2, 16, 54, 12, 54 + 36},
        {PixelFormat::Indexed8, 301, 3, 5, 8, 54 + 4 * 5, 304, 74 + 304 * 3},
        {PixelFormat::Indexed8, 3, 2, 256, 8, 54 + 4 * 256, 4, 1078 + 8},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.bitCount) + " bits, " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        const std::string path = dir_ / "picture.bmp";
        writeBmp(path, makeImage(c.format, c.width, c.height, c.colours).view());

        const std::vector<std::byte> file = readAll(path);
        ASSERT_EQ(file.size(), c.fileSize);
        const auto headers = parseBmpHeaders(file);
        ASSERT_TRUE(headers);
        EXPECT_EQ(headers->fileSize, c.fileSize);
        EXPECT_EQ(headers->pixelOffset, c.pixelOffset);
        EXPECT_EQ(headers->infoSize, 40u);
        EXPECT_EQ(headers->width, c.width);
        EXPECT_EQ(headers->height, c.height);
        EXPECT_EQ(headers->planes, 1);
        EXPECT_EQ(headers->bitCount, c.bitCount);
        EXPECT_EQ(headers->compression, 0u);
        EXPECT_EQ(headers->imageSize, c.rowLength * static_cast<std::size_t>(c.height));
        EXPECT_EQ(headers->xPixelsPerMeter, 0);
        EXPECT_EQ(headers->yPixelsPerMeter, 0);
        EXPECT_EQ(headers->colorsUsed,
                  c.format == PixelFormat::Indexed8 ? static_cast<std::uint32_t>(c.colours) : 0u);
        EXPECT_EQ(headers->colorsImportant, 0u);
        EXPECT_EQ(file[6], std::byte{0});
        EXPECT_EQ(file[7], std::byte{0});
        EXPECT_EQ(file[8], std::byte{0});
        EXPECT_EQ(file[9], std::byte{0});

        const std::size_t used = static_cast<std::size_t>(c.width * c.bitCount / 8);
        int junk = 0;
        for (int row = 0; row < c.height; ++row) {
            const std::byte* at =
                file.data() + c.pixelOffset + static_cast<std::size_t>(row) * c.rowLength;
            for (std::size_t i = used; i < c.rowLength; ++i)
                junk += at[i] != std::byte{0};
            for (std::size_t i = 3; c.bitCount == 32 && i < used; i += 4)
                junk += at[i] != std::byte{0};
        }
        EXPECT_EQ(junk, 0) << "padding or unused bytes that are not zero";

        const std::vector<std::uint8_t> rgba = decodeRgbaWithImageMagick(path, c.width, c.height);
        ASSERT_FALSE(rgba.empty());
        // 16-bit files hold five bits a channel; readers widen them differently
        // but keep them as the top five bits.
        const int shift = c.bitCount == 16 ? 3 : 0;
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Rgb want = colourNumber(colourAt(x, y, c.colours));
                const std::uint8_t* got = &rgba[4 * static_cast<std::size_t>(y * c.width + x)];
                const bool same = got[0] >> shift == want.red >> shift &&
                                  got[1] >> shift == want.green >> shift &&
                                  got[2] >> shift == want.blue >> shift && got[3] == 255;
                if (!same && wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " reads " << int{got[0]} << ","
                                  << int{got[1]} << "," << int{got[2]} << "," << int{got[3]}
                                  << " instead of " << int{want.red} << "," << int{want.green}
                                  << "," << int{want.blue};
            }
        }
    }
}

void expectError(const std::string& path, const ImageView& image, const std::string& text) {
    try {
        writeBmp(path, image);
        ADD_FAILURE() << "wrote " << path;
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), text);
    }
}

TEST_F(BmpWriterTest, AFileThatCannotBeCreatedIsNamed) {
    const std::string path = dir_ / "missing" / "Pic000001.bmp";
    expectError(path, makeImage(PixelFormat::Bgrx32, 3, 3, 3).view(),
                "Cannot create file \"" + path + "\". No such file or directory");
}

TEST_F(BmpWriterTest, PicturesThatNoBmpFileCanHoldAreRefusedBeforeAnythingIsWritten) {
    const std::string path = dir_ / "refused.bmp";
    const OwnedImage good = makeImage(PixelFormat::Indexed8, 4, 4, 3);
    ImageView empty = good.view();
    empty.width = 0;
    ImageView upsideDown = good.view();
    upsideDown.height = -4;
    ImageView noPalette = good.view();
    noPalette.palette = {};
    const std::vector<PaletteColor> hugePalette(257);
    ImageView tooManyColours = good.view();
    tooManyColours.palette = hugePalette;
    ImageView cutShort = good.view();
    cutShort.pixels = cutShort.pixels.first(cutShort.pixels.size() - 4);
    ImageView overlappingRows = good.view();
    overlappingRows.stride = 3;

    // 32768 x 32768 at 32 bits: 4 GiB of pixels, more than a BMP file's
    // 32-bit sizes can count. The memory is only reserved, never touched.
    const std::size_t hugeSize = std::size_t{1} << 32;
    void* huge =
        ::mmap(nullptr, hugeSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(huge, MAP_FAILED);
    const ImageView tooLarge{32768,
                             32768,
                             PixelFormat::Bgrx32,
                             32768 * 4,
                             {static_cast<const std::byte*>(huge), hugeSize},
                             {}};

    const std::pair<ImageView, std::string> cases[] = {
        {empty, "Cannot write a picture of 0 x 4 pixels"},
        {upsideDown, "Cannot write a picture of 4 x -4 pixels"},
        {noPalette, "Cannot write a picture with 0 palette colours"},
        {tooManyColours, "Cannot write a picture with 257 palette colours"},
        {cutShort, "Cannot write a picture whose pixels are cut short"},
        {overlappingRows, "Cannot write a picture whose pixels are cut short"},
        {tooLarge, "A picture of 32768 x 32768 pixels is too large for a BMP file"},
    };
    for (const auto& [image, text] : cases) {
        expectError(path, image, text);
        EXPECT_FALSE(fs::exists(path)) << text;
    }
    ::munmap(huge, hugeSize);
}

} // namespace
} // namespace kadrix
