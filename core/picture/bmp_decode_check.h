// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kadrix {

// The most pixels any BMP picture is decoded to: 64 Mi pixels, 256 MiB at 4
// bytes a pixel. Screenshots of 8K screens (7680 x 4800: 37 M pixels) and of
// two 8K screens side by side (15360 x 4320: 66 M pixels) fit; a header
// that asks for more is refused before any pixel memory is taken.
inline constexpr std::uint64_t maxPicturePixels = std::uint64_t{1} << 26;

// The most pixels one two-byte run of RLE data draws: a file whose
// compressed data could not draw the picture it declares at this rate is
// refused, so that a few bytes cannot declare a huge picture.
inline constexpr std::uint64_t maxPixelsPerRun = 255;

// How many leading bytes of a BMP file the check reads: the file header,
// the fields of the 40-byte info header and the four colour masks after it.
inline constexpr std::size_t bmpCheckHeadSize = 70;

// The compressions a BMP file may name.
inline constexpr std::uint32_t bmpRgb = 0;
inline constexpr std::uint32_t bmpRle8 = 1;
inline constexpr std::uint32_t bmpRle4 = 2;
inline constexpr std::uint32_t bmpBitfields = 3;

// What the decoder may read of a BMP file that passed the check, and how.
struct BmpDecodePlan {
    int width = 0;
    int height = 0; // rows, whatever their order
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = bmpRgb;
    // Red, green and blue masks of 16- and 32-bit pixels; for bmpRgb the
    // masks that the format implies (5-5-5 or 8-8-8).
    std::array<std::uint32_t, 3> masks{};
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntries = 0; // of 1 << bits at most
    std::uint32_t paletteEntrySize = 4;
    std::uint64_t pixelOffset = 0;
    std::uint64_t bytesToRead = 0; // from the start of the file
};

// Checks a BMP file's headers before its pixels are decoded, so that no
// header can make the decoder take unbounded memory or read past the file:
// an info header of a known size, 1 to 32 bits a pixel with a compression
// that fits them, a width and height of at least one pixel within
// maxPicturePixels, a pixel offset inside the file, for uncompressed pixels
// every row inside the file, and for compressed ones enough data to draw the
// picture at maxPixelsPerRun pixels a run. head is up to the first
// bmpCheckHeadSize bytes; fileSize is the whole file's. Throws kadrix::Error
// naming path and saying what is wrong.
BmpDecodePlan checkBmpBeforeDecoding(std::span<const std::byte> head, std::uint64_t fileSize,
                                     const std::string& path);

} // namespace kadrix
