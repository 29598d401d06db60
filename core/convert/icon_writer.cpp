// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/icon_writer.h"

#include "core/error.h"
#include "core/file.h"
#include "core/little_endian.h"
#include "core/picture/standard_colors.h"

#include <cstdint>

namespace kadrix {

namespace {

constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint32_t directorySize = 22;           // ICONDIR (6) + one ICONDIRENTRY (16)
constexpr std::uint32_t colorRowBytes = iconSide / 2; // 4 bits per pixel
constexpr std::uint32_t maskRowBytes = iconSide / 8;  // 1 bit per pixel, already 32-bit aligned
constexpr std::uint32_t colorBytes = colorRowBytes * iconSide;
constexpr std::uint32_t maskBytes = maskRowBytes * iconSide;
constexpr std::uint32_t imageBytes =
    infoHeaderSize + 4 * standardColors.size() + colorBytes + maskBytes;
static_assert(directorySize + imageBytes == iconFileSize);

bool isWhite(const std::uint8_t* pixel) {
    return pixel[bgrxRed] == 255 && pixel[bgrxGreen] == 255 && pixel[bgrxBlue] == 255;
}

// Index of the standard colour nearest in RGB (squared distance); the
// earlier colour wins a tie.
std::uint8_t nearestStandardColor(const std::uint8_t* pixel) {
    std::uint8_t best = 0;
    int bestDistance = 0;
    for (std::size_t i = 0; i < standardColors.size(); ++i) {
        const int dr = pixel[bgrxRed] - standardColors[i].red;
        const int dg = pixel[bgrxGreen] - standardColors[i].green;
        const int db = pixel[bgrxBlue] - standardColors[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (i == 0 || distance < bestDistance) {
            best = static_cast<std::uint8_t>(i);
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

std::vector<std::byte> makeIcon(const ImageView& picture) {
    if (picture.format != PixelFormat::Bgrx32)
        throw Error("Icons are cut from 32-bit pixels");
    if (!canCutIcon(picture.width, picture.height))
        throw Error(iconRefusal);

    std::vector<std::byte> icon;
    icon.reserve(iconFileSize);
    LittleEndianWriter out(icon);
    // ICONDIR
    out.u16(0); // reserved
    out.u16(1); // resource type: icon
    out.u16(1); // images
    // ICONDIRENTRY; planes and bit count are left 0, the image header has them
    out.u8(iconSide);
    out.u8(iconSide);
    out.u8(static_cast<std::uint8_t>(standardColors.size()));
    out.u8(0);
    out.u16(0);
    out.u16(0);
    out.u32(imageBytes);
    out.u32(directorySize);
    // BITMAPINFOHEADER: twice the height, the colour rows then the mask rows
    out.u32(infoHeaderSize);
    out.i32(iconSide);
    out.i32(2 * iconSide);
    out.u16(1);
    out.u16(4);
    out.u32(0); // uncompressed
    out.u32(colorBytes);
    out.i32(0);
    out.i32(0);
    out.u32(static_cast<std::uint32_t>(standardColors.size()));
    out.u32(0);
    for (const Rgb& color : standardColors) {
        out.u8(color.blue);
        out.u8(color.green);
        out.u8(color.red);
        out.u8(0);
    }
    // Rows bottom-up; the high half-byte and the high bit are the left pixel.
    for (int y = iconSide - 1; y >= 0; --y) {
        const std::uint8_t* pixel = picture.rowBytes(y);
        for (int x = 0; x < iconSide; x += 2, pixel += 2 * bgrxBytesPerPixel) {
            const std::uint8_t* right = pixel + bgrxBytesPerPixel;
            const int left = isWhite(pixel) ? 0 : nearestStandardColor(pixel);
            const int second = isWhite(right) ? 0 : nearestStandardColor(right);
            out.u8(static_cast<std::uint8_t>(left << 4 | second));
        }
    }
    for (int y = iconSide - 1; y >= 0; --y) {
        const std::uint8_t* pixel = picture.rowBytes(y);
        for (int x = 0; x < iconSide; x += 8) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit, pixel += bgrxBytesPerPixel)
                bits = bits << 1 | (isWhite(pixel) ? 1u : 0u);
            out.u8(static_cast<std::uint8_t>(bits));
        }
    }
    return icon;
}

void writeIcon(const ImageView& picture, const std::string& path) {
    const std::vector<std::byte> icon = makeIcon(picture);
    ReplacementFile file(path);
    file.out().write(icon);
    file.commit();
}

} // namespace kadrix
