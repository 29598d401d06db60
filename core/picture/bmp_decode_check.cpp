// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/bmp_decode_check.h"

#include "core/error.h"
#include "core/little_endian.h"
#include "core/picture/bmp_headers.h"

#include <algorithm>
#include <limits>

namespace kadrix {

namespace {

// The 12-byte header of the oldest bitmaps: 16-bit sizes, no compression.
constexpr std::uint32_t coreHeaderSize = 12;
constexpr std::size_t coreHeadSize = bmpFileHeaderSize + coreHeaderSize;

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw Error("Bitmap image is not valid: \"" + path + "\". " + why);
}

bool knownInfoSize(std::uint32_t size) {
    // Windows 3 (40), with RGB or RGBA masks (52, 56), OS/2 2 (64), V4, V5.
    for (const std::uint32_t known : {40u, 52u, 56u, 64u, 108u, 124u})
        if (size == known)
            return true;
    return false;
}

BmpHeaders coreHeaders(std::span<const std::byte> head) {
    BmpHeaders h;
    h.pixelOffset = readU32(head, 10);
    h.infoSize = coreHeaderSize;
    h.width = readU16(head, 18);
    h.height = readU16(head, 20);
    h.planes = readU16(head, 22);
    h.bitCount = readU16(head, 24);
    h.compression = bmpRgb;
    return h;
}

} // namespace

BmpDecodePlan checkBmpBeforeDecoding(std::span<const std::byte> head, std::uint64_t fileSize,
                                     const std::string& path) {
    head = head.first(std::min<std::size_t>({head.size(), bmpCheckHeadSize, fileSize}));
    if (head.size() < bmpFileHeaderSize + 4 || head[0] != std::byte{'B'} ||
        head[1] != std::byte{'M'})
        refuse(path, "The file ends inside its header");
    const std::uint32_t infoSize = readU32(head, bmpFileHeaderSize);
    BmpHeaders h;
    if (infoSize == coreHeaderSize && head.size() >= coreHeadSize) {
        h = coreHeaders(head);
    } else if (knownInfoSize(infoSize) && head.size() >= bmpFileHeaderSize + bmpInfoHeaderSize) {
        h = *parseBmpHeaders(head);
    } else if (knownInfoSize(infoSize) || infoSize == coreHeaderSize) {
        refuse(path, "The file ends inside its header");
    } else {
        refuse(path, "Its header of " + std::to_string(infoSize) + " bytes is of no known kind");
    }

    const std::uint16_t bits = h.bitCount;
    if (h.planes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        refuse(path, std::to_string(bits) + " bits a pixel in " + std::to_string(h.planes) +
                         " planes cannot be shown");
    const bool rle = h.compression == bmpRle8 || h.compression == bmpRle4;
    const bool compressionFits = h.compression == bmpRgb ||
                                 (h.compression == bmpRle8 && bits == 8) ||
                                 (h.compression == bmpRle4 && bits == 4) ||
                                 (h.compression == bmpBitfields && (bits == 16 || bits == 32));
    if (!compressionFits)
        refuse(path, "Compression " + std::to_string(h.compression) + " with " +
                         std::to_string(bits) + " bits a pixel cannot be shown");
    if (h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min())
        refuse(path, "It says it is " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                         " pixels");
    if (rle && h.height < 0)
        refuse(path, "Compressed rows must be stored bottom-up");

    const auto width = static_cast<std::uint64_t>(h.width);
    const auto height =
        static_cast<std::uint64_t>(h.height < 0 ? -std::int64_t{h.height} : std::int64_t{h.height});
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // Both sides are below 2^31, so their product fits in 64 bits.
    if (width * height > maxPicturePixels)
        throw Error("Рисунок \"" + path + "\" не открыт: в нём " + size +
                    " точек, а программа открывает рисунки не больше " +
                    std::to_string(maxPicturePixels) + " точек");

    // With a 40-byte header, bit fields are three masks after it; the later
    // headers hold them.
    const bool masksAfterHeader = h.compression == bmpBitfields && h.infoSize == bmpInfoHeaderSize;
    const std::uint64_t headersEnd = bmpFileHeaderSize + h.infoSize + (masksAfterHeader ? 12 : 0);
    if (h.pixelOffset < headersEnd || h.pixelOffset >= fileSize)
        refuse(path, "Its pixels are said to start at byte " + std::to_string(h.pixelOffset) +
                         " of " + std::to_string(fileSize));
    BmpDecodePlan plan;
    plan.width = h.width;
    plan.height = static_cast<int>(height);
    plan.topDown = h.height < 0;
    plan.bits = bits;
    plan.compression = h.compression;
    plan.pixelOffset = h.pixelOffset;
    if (h.compression == bmpBitfields) {
        if (head.size() < bmpFileHeaderSize + bmpInfoHeaderSize + 12)
            refuse(path, "The file ends inside its header");
        for (std::size_t i = 0; i < 3; ++i)
            plan.masks[i] = readU32(head, bmpFileHeaderSize + bmpInfoHeaderSize + 4 * i);
    } else if (bits == 16) {
        plan.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bits == 32) {
        plan.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    if (bits <= 8) {
        // The table lies between the headers and the pixels; entries it
        // does not hold are black.
        plan.paletteOffset = headersEnd;
        plan.paletteEntrySize = h.infoSize == coreHeaderSize ? 3 : 4;
        const std::uint32_t most = 1u << bits;
        const std::uint32_t stated = h.colorsUsed == 0 ? most : std::min(h.colorsUsed, most);
        plan.paletteEntries = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(stated, (h.pixelOffset - headersEnd) / plan.paletteEntrySize));
    }

    const std::uint64_t data = fileSize - h.pixelOffset;
    if (rle) {
        if (width * height > maxPixelsPerRun * (data / 2))
            throw Error("Рисунок \"" + path + "\" не открыт: " + std::to_string(data) +
                        " байт сжатых точек не могут дать рисунок в " + size + " точек");
        // At worst a run of one pixel in two bytes, and an end of line per row.
        plan.bytesToRead = std::min(fileSize, h.pixelOffset + 2 * (width + 1) * height + 2);
    } else {
        const std::uint64_t stride = (width * bits + 31) / 32 * 4;
        if (stride * height > data)
            refuse(path, "The file ends before its last row of pixels");
        plan.bytesToRead = h.pixelOffset + stride * height;
    }
    return plan;
}

} // namespace kadrix
