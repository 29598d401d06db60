// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's picture rules: rounding, places, the typed height, the
// nearest-neighbour scaling and the caption.
#include "convert/caption.h"
#include "convert/captioned_resize.h"
#include "convert/viewer_layout.h"
#include "core/error.h"
#include "core/integer_text.h"
#include "core/picture/nearest_resize.h"
#include "core/rounding.h"
#include "tests/support/convert_test_support.h"

#include <QFontMetrics>
#include <QImage>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(ViewerPlacesTest, RoundingSizesAndPlaces) {
    const std::pair<double, long long> rounding[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& [value, rounded] : rounding)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;

    // Odd sizes halve to x.5, which rounds to even on both sides.
    EXPECT_EQ(pictureOrigin(1280, 1024, 640, 480), (ViewerPoint{320, 272}));
    EXPECT_EQ(pictureOrigin(1281, 1023, 641, 479), (ViewerPoint{640 - 320, 512 - 240}));
    EXPECT_EQ(pictureOrigin(1283, 1025, 643, 477), (ViewerPoint{642 - 322, 512 - 238}));
    EXPECT_EQ(pictureOrigin(606, 492, 1920, 1080), (ViewerPoint{-657, -294}));
    EXPECT_EQ(conversionGroupTop(1024), 854);
    EXPECT_EQ(captionGroupTop(1024), 939);
    EXPECT_EQ(playerGroupTop(1024), 949);

    EXPECT_EQ(scaledToHeight({640, 480}, 240), (PictureSize{320, 240}));
    EXPECT_EQ(scaledToHeight({640, 480}, 1024), (PictureSize{1365, 1024})); // 1365.33
    EXPECT_EQ(scaledToHeight({5, 2}, 1), (PictureSize{2, 1}));              // 2.5 -> 2
    EXPECT_EQ(scaledToHeight({7, 2}, 1), (PictureSize{4, 1}));              // 3.5 -> 4
    EXPECT_EQ(scaledToHeight({640, 480}, 0), (PictureSize{0, 0}));
    EXPECT_EQ(scaledToHeight({1, 1000}, 1), (PictureSize{0, 1}));
}

TEST(ViewerPlacesTest, TypedHeights) {
    EXPECT_EQ(parseInteger("240"), 240);
    EXPECT_EQ(parseInteger("0"), 0);
    EXPECT_EQ(parseInteger("0007"), 7);
    EXPECT_EQ(parseInteger("+12"), 12);
    EXPECT_EQ(parseInteger("-12"), -12);
    for (const char* bad :
         {"", "1 2", " 12", "12 ", "+-1", "--1", "1e3", "0x10", "12a", "2147483648", "абв"}) {
        try {
            parseInteger(bad);
            ADD_FAILURE() << "'" << bad << "' was taken";
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

// The reference rule written independently: the source pixel under the
// centre of each target pixel, in floating point.
int centreSource(int i, int sourceCount, int targetCount) {
    return static_cast<int>(std::floor((i + 0.5) * sourceCount / targetCount));
}

TEST(NearestResizeTest, TakesThePixelUnderEachCentre) {
    // An asymmetric picture with row padding: every pixel its own colour.
    test::Canvas source(37, 23, 12);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            source.set(x, y,
                       {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                        static_cast<std::uint8_t>(x ^ y)});
    for (const PictureSize size : {PictureSize{37, 23}, PictureSize{100, 61}, PictureSize{13, 7},
                                   PictureSize{1, 1}, PictureSize{37, 80}, PictureSize{200, 3}}) {
        std::vector<std::byte> out(static_cast<std::size_t>(size.width + 3) * 4 *
                                   static_cast<std::size_t>(size.height));
        const MutableImageView target{size.width, size.height,
                                      static_cast<std::size_t>(size.width + 3) * 4, out};
        resizeNearest(source.view(), target);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const Rgb expected =
                    source.get(centreSource(x, 37, size.width), centreSource(y, 23, size.height));
                const auto* pixel = reinterpret_cast<const std::uint8_t*>(target.row(y)) + x * 4;
                ASSERT_EQ((Rgb{pixel[2], pixel[1], pixel[0]}), expected)
                    << "at " << x << "," << y << " of " << size.width << "x" << size.height;
            }
    }
}

int countPixels(const QImage& image, QRect area, const std::function<bool(QRgb)>& matches) {
    int count = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += matches(image.pixel(x, y));
    return count;
}

int countColor(const QImage& image, QRect area, QRgb color) {
    return countPixels(image, area, [color](QRgb pixel) { return pixel == color; });
}

// Red glyph pixels, their smoothed edges included.
bool reddish(QRgb pixel) {
    return qRed(pixel) >= 192 && qGreen(pixel) <= 96 && qBlue(pixel) <= 96;
}

TEST(CaptionTest, OpaqueCellFifteenRowsHighWithWideGlyphs) {
    const QFont font = captionFont();
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.height(), captionCellHeight);
    EXPECT_GE(metrics.height(), captionCellHeight - 1);
    const QString text = "Съёмка экрана";
    // Widened to about 10 pixels a character, where the face alone gives 6 or 7.
    EXPECT_NEAR(metrics.horizontalAdvance(text) / double(text.size()), 10.0, 2.5);

    QImage picture(300, 40, QImage::Format_RGB32);
    picture.fill(qRgb(0, 128, 0));
    drawCaption(picture, text, Qt::red, 40 - captionCellHeight);
    const int width = metrics.horizontalAdvance(text);
    const QRect cell(0, 25, width, captionCellHeight);
    EXPECT_GT(countPixels(picture, cell, reddish), 100) << "glyphs in the caption colour";
    EXPECT_GT(countColor(picture, cell, qRgb(255, 255, 255)), width * 5) << "a white cell";
    EXPECT_EQ(countColor(picture, cell, qRgb(0, 128, 0)), 0) << "the picture shows in the cell";
    EXPECT_EQ(countColor(picture, QRect(0, 0, 300, 25), qRgb(0, 128, 0)), 300 * 25);
    EXPECT_EQ(countColor(picture, QRect(width, 25, 300 - width, 15), qRgb(0, 128, 0)),
              (300 - width) * 15);

    // Near the top, only the part of the cell inside the picture remains.
    QImage low(100, 10, QImage::Format_RGB32);
    low.fill(qRgb(0, 0, 128));
    drawCaption(low, "ЖЖ", Qt::red, 10 - captionCellHeight);
    const int lowWidth = metrics.horizontalAdvance("ЖЖ");
    EXPECT_EQ(countColor(low, QRect(0, 0, lowWidth, 10), qRgb(0, 0, 128)), 0);
    EXPECT_EQ(countColor(low, QRect(lowWidth, 0, 100, 10), qRgb(0, 0, 128)), (100 - lowWidth) * 10);
}

TEST(CaptionedResizeTest, TheCaptionScalesWithThePicture) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 128));
    const QImage half = captionedResize(picture, {"ЖЖЖЖ", Qt::red, 48 - 15}, 24);
    ASSERT_EQ(half.size(), QSize(32, 24));
    EXPECT_EQ(countColor(half, QRect(0, 0, 32, 16), qRgb(0, 0, 128)), 32 * 16);
    EXPECT_GT(countPixels(half, QRect(0, 16, 32, 8), reddish), 10);
    EXPECT_EQ(picture.pixel(0, 47), qRgb(0, 0, 128)) << "the caller's picture is not written to";

    EXPECT_TRUE(captionedResize(picture, {}, 0).isNull());
    QImage line(1000, 1, QImage::Format_RGB32);
    line.fill(Qt::black);
    EXPECT_THROW(captionedResize(line, {}, 100), Error) << "100000 pixels wide is beyond a JPEG";
}

} // namespace
} // namespace kadrix
