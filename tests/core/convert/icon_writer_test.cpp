// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/icon_writer.h"
#include "core/error.h"
#include "tests/support/byte_fields.h"
#include "tests/support/convert_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::Canvas;

constexpr Rgb white{255, 255, 255};

using test::u32At;

// Source colours and the standard colour each must become.
struct ColourCase {
    Rgb source;
    Rgb expected;
};
const std::vector<ColourCase> colourCases = {
    {{0, 0, 0}, {0, 0, 0}},
    {{128, 0, 0}, {128, 0, 0}},
    {{0, 128, 0}, {0, 128, 0}},
    {{128, 128, 0}, {128, 128, 0}},
    {{0, 0, 128}, {0, 0, 128}},
    {{128, 0, 128}, {128, 0, 128}},
    {{0, 128, 128}, {0, 128, 128}},
    {{128, 128, 128}, {128, 128, 128}},
    {{192, 192, 192}, {192, 192, 192}},
    {{255, 0, 0}, {255, 0, 0}},
    {{0, 255, 0}, {0, 255, 0}},
    {{255, 255, 0}, {255, 255, 0}},
    {{0, 0, 255}, {0, 0, 255}},
    {{255, 0, 255}, {255, 0, 255}},
    {{0, 255, 255}, {0, 255, 255}},
    {{255, 255, 254}, {255, 255, 255}}, // near white stays opaque
    {{250, 250, 250}, {255, 255, 255}},
    {{200, 10, 10}, {255, 0, 0}},
    {{100, 100, 100}, {128, 128, 128}},
    {{170, 170, 170}, {192, 192, 192}},
    {{0, 0, 1}, {0, 0, 0}},
    {{128, 0, 127}, {128, 0, 128}},
    {{30, 140, 120}, {0, 128, 128}},
};

// A 41 x 35 picture: in the top-left 32 x 32 square a pattern of the colour
// cases and pure white; lime outside it, which must not reach the icon.
Canvas iconSource() {
    Canvas canvas(41, 35, 8);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 41; ++x) {
            if (x >= 32 || y >= 32) {
                canvas.set(x, y, {0, 255, 0});
                continue;
            }
            const std::size_t k =
                static_cast<std::size_t>(x * 7 + y * 3) % (colourCases.size() + 2);
            canvas.set(x, y, k < colourCases.size() ? colourCases[k].source : white);
        }
    return canvas;
}

TEST(IconWriter, PillowSeesTheColoursAndTheTransparency) {
    test::TempDir dir;
    const Canvas picture = iconSource();
    writeIcon(picture.view(), dir.path("p.ico"));
    const test::RgbaImage icon = test::decodeWithPillow(dir.path("p.ico"));
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    int transparent = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Rgb source = picture.get(x, y);
            const std::uint8_t* seen = icon.at(x, y);
            if (source == white) {
                EXPECT_EQ(seen[3], 0) << x << "," << y << " should be transparent";
                ++transparent;
                continue;
            }
            Rgb expected{};
            for (const ColourCase& c : colourCases)
                if (c.source == source)
                    expected = c.expected;
            EXPECT_EQ(seen[3], 255) << x << "," << y;
            EXPECT_EQ((Rgb{seen[0], seen[1], seen[2]}), expected)
                << x << "," << y << " from " << int(source.red) << " " << int(source.green) << " "
                << int(source.blue) << " seen " << int(seen[0]) << " " << int(seen[1]) << " "
                << int(seen[2]);
        }
    EXPECT_GT(transparent, 0);
}

TEST(IconWriter, LayoutIs766BytesWithTheStandardPalette) {
    const std::vector<std::byte> icon = makeIcon(iconSource().view());
    ASSERT_EQ(icon.size(), 766u);
    struct Field {
        std::size_t offset;
        int size;
        std::uint32_t value;
    };
    for (const Field& f : std::vector<Field>{
             {0, 2, 0},   {2, 2, 1},   {4, 2, 1},   {6, 1, 32},   {7, 1, 32},  {8, 1, 16},
             {9, 1, 0},   {10, 2, 0},  {12, 2, 0},  {14, 4, 744}, {18, 4, 22}, {22, 4, 40},
             {26, 4, 32}, {30, 4, 64}, {34, 2, 1},  {36, 2, 4},   {38, 4, 0},  {42, 4, 512},
             {46, 4, 0},  {50, 4, 0},  {54, 4, 16}, {58, 4, 0}}) {
        EXPECT_EQ(test::fieldAt(icon, f.offset, f.size), f.value) << "field at " << f.offset;
    }
    for (std::size_t i = 0; i < standardColors.size(); ++i) {
        const Rgb& c = standardColors[i];
        EXPECT_EQ(u32At(icon, 62 + 4 * i),
                  std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue)
            << "palette entry " << i;
    }
}

TEST(IconWriter, TransparentPixelsAreBlackAndRowsRunBottomUp) {
    Canvas picture(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.set(x, y, y == 0 && x == 0 ? white : Rgb{0, 0, 255});
    const std::vector<std::byte> icon = makeIcon(picture.view());
    // The top-left pixel is in the last colour row and the last mask row.
    EXPECT_EQ(std::to_integer<int>(icon[126 + 31 * 16]), 0x0C) << "black (0) beside blue (12)";
    EXPECT_EQ(std::to_integer<int>(icon[638 + 31 * 4]), 0x80);
    for (std::size_t i = 638; i < 638 + 31 * 4; ++i)
        EXPECT_EQ(std::to_integer<int>(icon[i]), 0) << "mask byte " << i;
}

TEST(IconWriter, PicturesUnder32PixelsAreRefusedAndNothingIsWritten) {
    test::TempDir dir;
    struct Size {
        int width, height;
        bool accepted;
    };
    for (const Size& s : std::vector<Size>{{32, 32, true},
                                           {33, 100, true},
                                           {31, 32, false},
                                           {32, 31, false},
                                           {0, 0, false},
                                           {1000, 1, false}}) {
        Canvas picture(s.width, s.height);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                picture.set(x, y, {10, 20, 30});
        const std::string path =
            dir.path(std::to_string(s.width) + "x" + std::to_string(s.height) + ".ico");
        if (s.accepted) {
            writeIcon(picture.view(), path);
            EXPECT_EQ(std::filesystem::file_size(path), 766u);
            continue;
        }
        try {
            writeIcon(picture.view(), path);
            ADD_FAILURE() << s.width << " x " << s.height << " was accepted";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Из этого BMP нельзя вырезать иконку 32х32!");
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
} // namespace kadrix
