// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kadrix {

// How the pixels of a screen picture are stored. Multi-byte pixels are
// little-endian words, as a PC's X server and a BMP file hold them.
enum class PixelFormat {
    Indexed8, // one byte, an index into the palette
    Rgb555,   // 16 bits: 0RRRRRGG GGGBBBBB
    Rgb565,   // 16 bits: RRRRRGGG GGGBBBBB
    Bgr24,    // bytes blue, green, red
    Bgrx32,   // bytes blue, green, red, unused
};

constexpr int bitsPerPixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::Indexed8:
        return 8;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565:
        return 16;
    case PixelFormat::Bgr24:
        return 24;
    case PixelFormat::Bgrx32:
        return 32;
    }
    return 0;
}

// Byte offsets of the channels of a Bgrx32 pixel.
inline constexpr int bgrxBytesPerPixel = 4;
inline constexpr int bgrxBlue = 0;
inline constexpr int bgrxGreen = 1;
inline constexpr int bgrxRed = 2;

struct PaletteColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

// A picture in memory that somebody else owns: rows top-down, stride bytes
// apart (a row may carry padding after its pixels).
struct ImageView {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    std::size_t stride = 0;
    std::span<const std::byte> pixels;
    std::span<const PaletteColor> palette; // Indexed8 only

    const std::byte* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * stride;
    }
    // A row as the unsigned bytes that image libraries take.
    const std::uint8_t* rowBytes(int y) const {
        return reinterpret_cast<const std::uint8_t*>(row(y));
    }
};

} // namespace kadrix
