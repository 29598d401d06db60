// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/bmp_writer.h"

#include "core/little_endian.h"

#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_headers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace kadrix {

namespace {

// Rows are gathered into a buffer of about this size and written together:
// few system calls, and the buffer stays in the processor's cache.
constexpr std::size_t chunkSize = 256 * 1024;

constexpr std::size_t colorTableEntrySize = 4;
constexpr std::size_t maxPaletteSize = 256;

// Pixels are converted as little-endian words read natively.
static_assert(std::endian::native == std::endian::little);

struct Layout {
    std::size_t pixelBytes = 0; // the used bytes of a row
    std::size_t rowLength = 0;  // padded to a multiple of 4 bytes
    std::size_t headerSize = 0; // file header, info header and colour table
    std::uint64_t fileSize = 0;
};

Layout layoutOf(const ImageView& image) {
    if (image.width <= 0 || image.height <= 0)
        throw Error("Cannot write a picture of " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " pixels");
    const int bits = bitsPerPixel(image.format);
    Layout layout;
    layout.pixelBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(bits) / 8;
    layout.rowLength =
        (static_cast<std::size_t>(image.width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    layout.headerSize = bmpFileHeaderSize + bmpInfoHeaderSize;
    if (image.format == PixelFormat::Indexed8) {
        if (image.palette.empty() || image.palette.size() > maxPaletteSize)
            throw Error("Cannot write a picture with " + std::to_string(image.palette.size()) +
                        " palette colours");
        layout.headerSize += colorTableEntrySize * image.palette.size();
    }
    const std::size_t lastRowEnd =
        static_cast<std::size_t>(image.height - 1) * image.stride + layout.pixelBytes;
    if (image.stride < layout.pixelBytes || image.pixels.size() < lastRowEnd)
        throw Error("Cannot write a picture whose pixels are cut short");
    layout.fileSize = layout.headerSize + static_cast<std::uint64_t>(layout.rowLength) *
                                              static_cast<std::uint64_t>(image.height);
    if (layout.fileSize > std::numeric_limits<std::uint32_t>::max())
        throw Error("A picture of " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " pixels is too large for a BMP file");
    return layout;
}

// The 14-byte file header, the 40-byte info header and the colour table.
void putHeaders(std::byte* out, const ImageView& image, const Layout& layout) {
    const auto imageSize = static_cast<std::uint32_t>(layout.fileSize - layout.headerSize);
    const auto colors = static_cast<std::uint32_t>(image.palette.size());
    const bool indexed = image.format == PixelFormat::Indexed8;
    out[0] = std::byte{'B'};
    out[1] = std::byte{'M'};
    putU32(out + 2, static_cast<std::uint32_t>(layout.fileSize));
    putU16(out + 6, 0);
    putU16(out + 8, 0);
    putU32(out + 10, static_cast<std::uint32_t>(layout.headerSize));
    putU32(out + 14, bmpInfoHeaderSize);
    putU32(out + 18, static_cast<std::uint32_t>(image.width));
    putU32(out + 22, static_cast<std::uint32_t>(image.height));
    putU16(out + 26, 1);
    putU16(out + 28, static_cast<std::uint16_t>(bitsPerPixel(image.format)));
    putU32(out + 30, 0); // BI_RGB
    putU32(out + 34, imageSize);
    putU32(out + 38, 0);
    putU32(out + 42, 0);
    putU32(out + 46, indexed ? colors : 0);
    putU32(out + 50, 0); // every colour is important
    if (!indexed)
        return;
    std::byte* entry = out + bmpFileHeaderSize + bmpInfoHeaderSize;
    for (const PaletteColor& color : image.palette) {
        entry[0] = std::byte{color.blue};
        entry[1] = std::byte{color.green};
        entry[2] = std::byte{color.red};
        entry[3] = std::byte{0};
        entry += colorTableEntrySize;
    }
}

// Converts a row eight bytes (two to eight whole pixels) at a time: the
// rows of a full screen pass here five times a second while recording.
template <class Convert>
void convertWords(std::byte* out, const std::byte* in, std::size_t size, Convert convert) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        word = convert(word);
        std::memcpy(out + i, &word, 8);
    }
    if (i < size) {
        std::uint64_t word = 0;
        std::memcpy(&word, in + i, size - i);
        word = convert(word);
        std::memcpy(out + i, &word, size - i);
    }
}

// One row in the file's format; the padding is left to the caller.
void convertRow(std::byte* out, const std::byte* in, int width, PixelFormat format) {
    const std::size_t size =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel(format) / 8);
    switch (format) {
    case PixelFormat::Indexed8:
    case PixelFormat::Bgr24:
        std::memcpy(out, in, size);
        return;
    case PixelFormat::Bgrx32:
        // The fourth byte may hold anything on screen; in a BI_RGB file some
        // readers would take it for transparency.
        convertWords(out, in, size, [](std::uint64_t w) { return w & 0x00ffffff00ffffffull; });
        return;
    case PixelFormat::Rgb555:
        convertWords(out, in, size, [](std::uint64_t w) { return w & 0x7fff7fff7fff7fffull; });
        return;
    case PixelFormat::Rgb565:
        // Red and the upper five bits of green move down one bit; the lowest
        // green bit is dropped.
        convertWords(out, in, size, [](std::uint64_t w) {
            return (w >> 1 & 0x7fe07fe07fe07fe0ull) | (w & 0x001f001f001f001full);
        });
        return;
    }
}

} // namespace

void writeBmp(const std::string& path, const ImageView& image) {
    layoutOf(image); // a picture no BMP file can hold makes no file
    ReplacementFile file(path);
    writeBmp(file.out(), image);
    file.commit();
}

void writeBmp(OutputFile& out, const ImageView& image) {
    const Layout layout = layoutOf(image);
    const std::size_t capacity = std::max(chunkSize, layout.headerSize + layout.rowLength);
    const auto buffer = std::make_unique_for_overwrite<std::byte[]>(capacity);
    putHeaders(buffer.get(), image, layout);
    std::size_t used = layout.headerSize;

    for (int y = image.height - 1; y >= 0; --y) {
        if (used + layout.rowLength > capacity) {
            out.write({buffer.get(), used});
            used = 0;
        }
        std::byte* row = buffer.get() + used;
        convertRow(row, image.row(y), image.width, image.format);
        std::memset(row + layout.pixelBytes, 0, layout.rowLength - layout.pixelBytes);
        used += layout.rowLength;
    }
    out.write({buffer.get(), used});
}

} // namespace kadrix
