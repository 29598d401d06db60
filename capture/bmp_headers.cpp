#include "capture/bmp_headers.h"

namespace kadrix {

namespace {

std::uint32_t u32(std::span<const std::byte> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t u16(std::span<const std::byte> b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned>(b[at]) |
                                      static_cast<unsigned>(b[at + 1]) << 8);
}

std::int32_t s32(std::span<const std::byte> b, std::size_t at) {
    return static_cast<std::int32_t>(u32(b, at));
}

} // namespace

std::optional<BmpHeaders> parseBmpHeaders(std::span<const std::byte> bytes) {
    if (bytes.size() < bmpFileHeaderSize + bmpInfoHeaderSize || bytes[0] != std::byte{'B'} ||
        bytes[1] != std::byte{'M'})
        return std::nullopt;
    BmpHeaders h;
    h.fileSize = u32(bytes, 2);
    h.pixelOffset = u32(bytes, 10);
    h.infoSize = u32(bytes, 14);
    h.width = s32(bytes, 18);
    h.height = s32(bytes, 22);
    h.planes = u16(bytes, 26);
    h.bitCount = u16(bytes, 28);
    h.compression = u32(bytes, 30);
    h.imageSize = u32(bytes, 34);
    h.xPixelsPerMeter = s32(bytes, 38);
    h.yPixelsPerMeter = s32(bytes, 42);
    h.colorsUsed = u32(bytes, 46);
    h.colorsImportant = u32(bytes, 50);
    return h;
}

} // namespace kadrix
