// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/emf_writer.h"
#include "core/error.h"
#include "tests/support/byte_fields.h"
#include "tests/support/convert_test_support.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using Bytes = std::vector<std::byte>;

using test::putField;
using test::s32At;
using test::u32At;

// The 16-colour palette as a BMP colour table.
const std::vector<Rgb> palette16(standardColors.begin(), standardColors.end());

// A picture of `bits` bits whose colours differ across and down, with an
// odd width so that rows need padding.
test::BmpRecipe sampleRecipe(int bits, int width = 55, int height = 35) {
    test::BmpRecipe recipe;
    recipe.bits = bits;
    recipe.width = width;
    recipe.height = height;
    if (bits == 1)
        recipe.palette = {{200, 30, 30}, {20, 40, 220}};
    else if (bits == 4)
        recipe.palette = palette16;
    else if (bits == 8)
        for (int i = 0; i < 256; ++i)
            recipe.palette.push_back({static_cast<std::uint8_t>(i),
                                      static_cast<std::uint8_t>(255 - i),
                                      static_cast<std::uint8_t>(i * 7)});
    recipe.pixel = [bits](int x, int y) -> std::uint32_t {
        const auto v = static_cast<std::uint32_t>(x * 5 + y * 11 + (x > 40 ? 90 : 0));
        switch (bits) {
        case 1:
            return (x / 3 + y / 2) % 2;
        case 4:
            return v % 16;
        case 8:
            return v % 256;
        case 16:
            return (v % 32) << 10 | (static_cast<std::uint32_t>(y) % 32) << 5 | (31 - v % 32);
        default:
            return (v % 256) << 16 | static_cast<std::uint32_t>(y * 7 % 256) << 8 | (255 - v % 256);
        }
    };
    return recipe;
}

struct Record {
    std::uint32_t type;
    std::size_t offset;
    std::uint32_t size;
};

std::vector<Record> recordsOf(const Bytes& emf) {
    std::vector<Record> records;
    std::size_t at = 0;
    while (at + 8 <= emf.size()) {
        const Record r{u32At(emf, at), at, u32At(emf, at + 4)};
        records.push_back(r);
        if (r.size < 8 || r.size % 4 != 0) {
            ADD_FAILURE() << "bad record size " << r.size;
            break;
        }
        at += r.size;
    }
    EXPECT_EQ(at, emf.size()) << "records do not end at the end of the stream";
    return records;
}

TEST(EmfWriter, HeaderDrawingAndEndCarryThePicture) {
    const Bytes bmp = test::makeBmp(sampleRecipe(8, 5, 3));
    const ReferenceDevice screen{1280, 1024, 338, 270};
    const Bytes emf = metafileFromBmp(bmp, screen);
    const std::vector<Record> records = recordsOf(emf);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, 1u);
    EXPECT_EQ(records[1].type, 81u) << "EMR_STRETCHDIBITS";
    EXPECT_EQ(records[2].type, 14u);

    const std::size_t h = 0;
    EXPECT_EQ(std::vector<std::int32_t>(
                  {s32At(emf, h + 8), s32At(emf, h + 12), s32At(emf, h + 16), s32At(emf, h + 20)}),
              (std::vector<std::int32_t>{0, 0, 4, 2}))
        << "bounds: the pixels drawn, inclusive";
    EXPECT_EQ(u32At(emf, h + 40), 0x464D4520u);
    EXPECT_EQ(u32At(emf, h + 44), 0x10000u);
    EXPECT_EQ(u32At(emf, h + 48), emf.size());
    EXPECT_EQ(u32At(emf, h + 52), 3u);
    EXPECT_EQ(u32At(emf, h + 60), 0u) << "no description";
    EXPECT_EQ(u32At(emf, h + 64), 0u);
    EXPECT_EQ(std::vector<std::uint32_t>(
                  {u32At(emf, h + 72), u32At(emf, h + 76), u32At(emf, h + 80), u32At(emf, h + 84)}),
              (std::vector<std::uint32_t>{1280, 1024, 338, 270}));

    const std::size_t d = records[1].offset;
    EXPECT_EQ(std::vector<std::int32_t>({s32At(emf, d + 24), s32At(emf, d + 28), s32At(emf, d + 32),
                                         s32At(emf, d + 36), s32At(emf, d + 40), s32At(emf, d + 44),
                                         s32At(emf, d + 72), s32At(emf, d + 76)}),
              (std::vector<std::int32_t>{0, 0, 0, 0, 5, 3, 5, 3}))
        << "whole picture, 1:1 at (0, 0)";
    EXPECT_EQ(u32At(emf, d + 64), 0u) << "DIB_RGB_COLORS";
    EXPECT_EQ(u32At(emf, d + 68), 0x00CC0020u) << "SRCCOPY";
    const std::size_t bmiOffset = d + u32At(emf, d + 48);
    const std::size_t bitsOffset = d + u32At(emf, d + 56);
    const std::size_t infoSize = 40 + 256 * 4;
    const std::size_t pixelSize = 8 * 3;
    ASSERT_EQ(u32At(emf, d + 52), infoSize);
    ASSERT_EQ(u32At(emf, d + 60), pixelSize);
    EXPECT_TRUE(std::equal(bmp.begin() + 14, bmp.begin() + 14 + infoSize,
                           emf.begin() + static_cast<std::ptrdiff_t>(bmiOffset)));
    EXPECT_TRUE(std::equal(bmp.end() - pixelSize, bmp.end(),
                           emf.begin() + static_cast<std::ptrdiff_t>(bitsOffset)));
    EXPECT_EQ(u32At(emf, records[2].offset + 16), 20u) << "EMR_EOF size repeated at its end";
}

TEST(EmfWriter, FrameIsTheSizeInHundredthsOfAMillimetreRoundedHalfAwayFromZero) {
    struct Case {
        int width, height;
        ReferenceDevice screen;
        std::int32_t right, bottom;
    };
    for (const Case& c : std::vector<Case>{
             {53, 37, defaultReferenceDevice, 1402, 979},  // 1402.29, 978.96
             {48, 48, defaultReferenceDevice, 1270, 1270}, // exactly 96 dpi
             {1, 1, {200, 201, 1, 1}, 1, 0},               // 0.5 rounds up, 0.4975 down
             {3, 5, {2, 2, 1, 3}, 150, 750},
             // 1000 x 60001 x 100 needs more than 32 bits before the division
             {1000, 1, {3, 1, 60001, 1}, 2000033333, 100},
         }) {
        const Bytes emf =
            metafileFromBmp(test::makeBmp(sampleRecipe(1, c.width, c.height)), c.screen);
        EXPECT_EQ(s32At(emf, 24), 0);
        EXPECT_EQ(s32At(emf, 28), 0);
        EXPECT_EQ(s32At(emf, 32), c.right) << c.width << " x " << c.height;
        EXPECT_EQ(s32At(emf, 36), c.bottom) << c.width << " x " << c.height;
    }
}

TEST(EmfWriter, CarriesEveryKindOfDibItAccepts) {
    struct Case {
        std::string name;
        test::BmpRecipe recipe;
        test::Spoil change;
        std::uint32_t infoSize;
    };
    const auto none = [](Bytes&) {
    };
    const auto rle8 = [](Bytes& b) { // the bits are carried, not decoded
        putField(b, 30, 1);
        putField(b, 34, 6);
    };
    const auto bitfields = [](Bytes& b) { // 5-6-5 masks after a 40-byte header
        putField(b, 30, 3);
        const std::uint32_t masks[] = {0xF800, 0x07E0, 0x001F};
        for (int i = 2; i >= 0; --i)
            for (int k = 3; k >= 0; --k)
                b.insert(b.begin() + 54, std::byte(masks[i] >> (8 * k) & 0xFF));
        putField(b, 10, 66);
    };
    auto topDown = sampleRecipe(24, 7, 3);
    topDown.topDown = true;
    auto fewColours = sampleRecipe(8, 7, 3);
    fewColours.palette.resize(100);
    fewColours.pixel = [](int x, int y) {
        return static_cast<std::uint32_t>(x + y);
    };
    for (const Case& c : std::vector<Case>{
             {"1 bit", sampleRecipe(1, 7, 3), none, 40 + 2 * 4},
             {"4 bits", sampleRecipe(4, 7, 3), none, 40 + 16 * 4},
             {"8 bits, 100 colours", fewColours, none, 40 + 100 * 4},
             {"16 bits", sampleRecipe(16, 7, 3), none, 40},
             {"24 bits", sampleRecipe(24, 7, 3), none, 40},
             {"32 bits", sampleRecipe(32, 7, 3), none, 40},
             {"top-down", topDown, none, 40},
             {"RLE8", sampleRecipe(8, 7, 3), rle8, 40 + 256 * 4},
             {"16-bit bit fields", sampleRecipe(16, 7, 3), bitfields, 40 + 12},
         }) {
        Bytes bmp = test::makeBmp(c.recipe);
        c.change(bmp);
        const Bytes emf = metafileFromBmp(bmp, defaultReferenceDevice);
        const std::size_t d = 108;
        EXPECT_EQ(u32At(emf, d + 52), c.infoSize) << c.name;
        EXPECT_EQ(s32At(emf, d + 44), 3) << c.name << ": source height, whatever the row order";
        const std::size_t pixelOffset = u32At(bmp, 10);
        const std::size_t pixelSize = u32At(emf, d + 60);
        EXPECT_TRUE(
            std::equal(bmp.begin() + 14, bmp.begin() + 14 + c.infoSize, emf.begin() + d + 80))
            << c.name;
        EXPECT_TRUE(std::equal(bmp.begin() + static_cast<std::ptrdiff_t>(pixelOffset),
                               bmp.begin() + static_cast<std::ptrdiff_t>(pixelOffset + pixelSize),
                               emf.begin() + static_cast<std::ptrdiff_t>(d + 80 + c.infoSize)))
            << c.name;
        EXPECT_EQ(recordsOf(emf).size(), 3u) << c.name;
    }
}

TEST(EmfWriter, RefusesWhatIsNotAUsableBitmap) {
    const Bytes good = test::makeBmp(sampleRecipe(24, 7, 3));
    struct Case {
        std::string name;
        test::Spoil change;
    };
    for (const Case& c : std::vector<Case>{
             {"empty", test::cutTo(0)},
             {"headers cut short", test::cutTo(53)},
             {"not BM", test::withField(0, 'X', 1)},
             {"pixels cut short", test::lastByteCut()},
             {"OS/2 core header", test::withField(14, 12)},
             {"unknown header size", test::withField(14, 64)},
             {"two planes", test::withField(26, 2, 1)},
             {"width 0", test::withField(18, 0)},
             {"negative width", test::withField(18, 0xFFFFFFF9)},
             {"height 0", test::withField(22, 0)},
             {"lowest height", test::withField(22, 0x80000000)},
             {"2 bits", test::withField(28, 2, 1)},
             {"JPEG inside", test::withField(30, 4)},
             {"RLE8 with 24 bits", test::withField(30, 1)},
             {"bit fields with 24 bits", test::withField(30, 3)},
             {"pixels before the header ends", test::withField(10, 40)},
             {"pixels beyond the end", test::withField(10, 0xFFFFFFF0)},
             {"huge picture",
              [](Bytes& b) {
                  putField(b, 18, 0x7FFFFFFF);
                  putField(b, 22, 0x7FFFFFFF);
              }},
             {"more colours than 8 bits hold",
              [](Bytes& b) {
                  b[28] = std::byte{8};
                  putField(b, 46, 257);
              }},
             {"a colour table beyond the end", test::withField(46, 0x40000000)},
         }) {
        Bytes bmp = good;
        c.change(bmp);
        try {
            metafileFromBmp(bmp, defaultReferenceDevice);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Bitmap image is not valid") << c.name;
        }
    }
    EXPECT_THROW(metafileFromBmp(good, {0, 1080, 508, 286}), Error) << "a screen of no pixels";
    // A frame that does not fit the format's 32-bit coordinates.
    EXPECT_THROW(metafileFromBmp(test::makeBmp(sampleRecipe(1, 1000, 1)), {1, 1, 65535, 1}), Error);
}

TEST(EmfWriter, Bmp2emfWritesBesideThePictureAndLeavesFilesAloneOnFailure) {
    test::TempDir dir;
    const Bytes bmp = test::makeBmp(sampleRecipe(24, 9, 4));
    test::writeFile(dir.path("a.b.bmp"), bmp);
    bmp2emf(dir.path("a.b.bmp"), defaultReferenceDevice);
    EXPECT_EQ(test::readFile(dir.path("a.b.emf")), metafileFromBmp(bmp, defaultReferenceDevice));

    try {
        bmp2emf(dir.path("gone.bmp"), defaultReferenceDevice);
        ADD_FAILURE() << "converted a missing file";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + dir.path("gone.bmp") + "\". No such file or directory");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("gone.emf")));

    const std::string old = "an older metafile";
    test::writeFile(dir.path("fake.emf"), std::as_bytes(std::span(old)));
    test::writeFile(dir.path("fake.bmp"), std::as_bytes(std::span(old)));
    EXPECT_THROW(bmp2emf(dir.path("fake.bmp"), defaultReferenceDevice), Error);
    EXPECT_EQ(test::readFile(dir.path("fake.emf")).size(), old.size());
}

// Inkscape, an independent EMF reader, draws our metafile; the result must
// be the picture as Pillow reads the BMP, pixel for pixel.
TEST(EmfWriter, InkscapeRendersThePictureOfEveryDepth) {
    if (!test::haveProgram("inkscape", "inkscape"))
        return;
    test::TempDir dir;
    // Inkscape keeps preferences and caches under the home folder: here,
    // under the test's own folder.
    const std::string home = dir.path("home");
    const std::string inkscape = "env HOME='" + home + "' XDG_CONFIG_HOME='" + home +
                                 "/config' XDG_CACHE_HOME='" + home + "/cache' XDG_DATA_HOME='" +
                                 home + "/data' inkscape";
    auto topDown = sampleRecipe(24);
    topDown.topDown = true;
    struct Case {
        std::string name;
        test::BmpRecipe recipe;
    };
    for (const Case& c : std::vector<Case>{{"1", sampleRecipe(1)},
                                           {"4", sampleRecipe(4)},
                                           {"8", sampleRecipe(8)},
                                           {"16", sampleRecipe(16)},
                                           {"24", sampleRecipe(24)},
                                           {"32", sampleRecipe(32)},
                                           {"24td", topDown}}) {
        const std::string bmpPath = dir.path(c.name + ".bmp");
        test::writeFile(bmpPath, test::makeBmp(c.recipe));
        bmp2emf(bmpPath, defaultReferenceDevice);
        const std::string pngPath = dir.path(c.name + ".png");
        test::runCommand(inkscape + " '" + dir.path(c.name + ".emf") +
                         "' --export-type=png --export-dpi=96 --export-filename='" + pngPath +
                         "' 2>/dev/null");
        const test::RgbaImage source = test::decodeWithPillow(bmpPath);
        const test::RgbaImage drawn = test::decodeWithPillow(pngPath);
        ASSERT_EQ(drawn.width, source.width) << c.name;
        ASSERT_EQ(drawn.height, source.height) << c.name;
        // Inkscape widens 5-bit channels by a plain shift, Pillow fills the
        // low bits too: 16-bit pictures compare in their stored 5 bits.
        const int shift = c.recipe.bits == 16 ? 3 : 0;
        int wrong = 0;
        for (int y = 0; y < source.height; ++y)
            for (int x = 0; x < source.width; ++x) {
                const std::uint8_t* want = source.at(x, y);
                const std::uint8_t* got = drawn.at(x, y);
                // The last column and row are drawn with partial coverage: a
                // frame in whole hundredths of a millimetre is a fraction of a
                // pixel short of the picture.
                const bool edge = x == source.width - 1 || y == source.height - 1;
                const int tolerance = edge ? 2 : 0;
                bool same = edge ? got[3] >= 200 : got[3] == 255;
                for (int k = 0; k < 3; ++k)
                    same = same && std::abs((got[k] >> shift) - (want[k] >> shift)) <= tolerance;
                if (!same && ++wrong <= 3)
                    ADD_FAILURE() << c.name << " bits: pixel " << x << "," << y << " is "
                                  << int(got[0]) << " " << int(got[1]) << " " << int(got[2]) << " "
                                  << int(got[3]) << ", want " << int(want[0]) << " " << int(want[1])
                                  << " " << int(want[2]);
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

} // namespace
} // namespace kadrix
