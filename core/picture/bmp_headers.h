// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kadrix {

inline constexpr std::size_t bmpFileHeaderSize = 14;
inline constexpr std::size_t bmpInfoHeaderSize = 40;

// The fields of a BMP file's 14-byte file header and 40-byte info header
// (BITMAPFILEHEADER + BITMAPINFOHEADER), as stored: little-endian, width and
// height signed.
struct BmpHeaders {
    std::uint32_t fileSize = 0;    // bfSize
    std::uint32_t pixelOffset = 0; // bfOffBits
    std::uint32_t infoSize = 0;    // biSize
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: rows bottom-up
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::int32_t xPixelsPerMeter = 0;
    std::int32_t yPixelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t colorsImportant = 0;
};

// Reads the headers from the first 54 bytes of a file. Returns nothing when
// there are fewer bytes or the file does not start with "BM". The values are
// not checked beyond that: each reader checks what it relies on.
std::optional<BmpHeaders> parseBmpHeaders(std::span<const std::byte> bytes);

} // namespace kadrix
