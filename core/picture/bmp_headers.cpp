// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/bmp_headers.h"

#include "core/little_endian.h"

namespace kadrix {

namespace {

std::int32_t s32(std::span<const std::byte> b, std::size_t at) {
    return static_cast<std::int32_t>(readU32(b, at));
}

} // namespace

std::optional<BmpHeaders> parseBmpHeaders(std::span<const std::byte> bytes) {
    if (bytes.size() < bmpFileHeaderSize + bmpInfoHeaderSize || bytes[0] != std::byte{'B'} ||
        bytes[1] != std::byte{'M'})
        return std::nullopt;
    BmpHeaders h;
    h.fileSize = readU32(bytes, 2);
    h.pixelOffset = readU32(bytes, 10);
    h.infoSize = readU32(bytes, 14);
    h.width = s32(bytes, 18);
    h.height = s32(bytes, 22);
    h.planes = readU16(bytes, 26);
    h.bitCount = readU16(bytes, 28);
    h.compression = readU32(bytes, 30);
    h.imageSize = readU32(bytes, 34);
    h.xPixelsPerMeter = s32(bytes, 38);
    h.yPixelsPerMeter = s32(bytes, 42);
    h.colorsUsed = readU32(bytes, 46);
    h.colorsImportant = readU32(bytes, 50);
    return h;
}

} // namespace kadrix
