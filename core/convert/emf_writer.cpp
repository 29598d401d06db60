// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/emf_writer.h"

#include "core/error.h"
#include "core/file.h"
#include "core/little_endian.h"
#include "core/path.h"
#include "core/picture/bmp_decode_check.h"
#include "core/picture/bmp_headers.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace kadrix {

namespace {

// Record types and constants of the EMF format.
constexpr std::uint32_t emrHeader = 1;
constexpr std::uint32_t emrEof = 14;
constexpr std::uint32_t emrStretchDiBits = 81;
constexpr std::uint32_t emfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t emfVersion = 0x00010000;
constexpr std::uint32_t dibRgbColors = 0;
constexpr std::uint32_t srcCopy = 0x00CC0020;

// The header with both extensions (pixel format and micrometres), as the
// platform's recorder writes it.
constexpr std::uint32_t headerSize = 108;
constexpr std::uint32_t stretchDiBitsFixedSize = 80;
constexpr std::uint32_t eofSize = 20;

// DIB compressions we carry.
constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biRle8 = 1;
constexpr std::uint32_t biRle4 = 2;
constexpr std::uint32_t biBitfields = 3;

constexpr int maxDeviceValue = 65535;

Error invalidBitmap() {
    return Error("Bitmap image is not valid");
}

// The report names the file: after a folder change it may not be the one
// the user sees.
Error naming(const std::string& path, const Error& error) {
    return Error(std::string(error.what()) + ": \"" + path + "\"");
}

// Where the DIB's parts lie in the BMP file.
struct DibLayout {
    std::uint64_t infoSize = 0; // info header + masks + colour table
    std::uint64_t pixelOffset = 0;
    std::uint64_t pixelSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // rows, whatever their order
};

// Checks everything the metafile relies on; nothing outside the file is ever
// addressed, whatever the header fields say.
std::optional<DibLayout> dibLayout(std::span<const std::byte> file) {
    const auto h = parseBmpHeaders(file);
    if (!h)
        return std::nullopt;
    // BITMAPINFOHEADER, BITMAPV4HEADER, BITMAPV5HEADER: the ones a DIB in a
    // metafile may carry and every reader knows.
    if (h->infoSize != 40 && h->infoSize != 108 && h->infoSize != 124)
        return std::nullopt;
    if (h->planes != 1 || h->width <= 0 || h->height == 0 ||
        h->height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    const std::uint16_t bits = h->bitCount;
    const bool bottomUp = h->height > 0;
    switch (h->compression) {
    case biRgb:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return std::nullopt;
        break;
    case biRle8:
        if (bits != 8 || !bottomUp || h->imageSize == 0)
            return std::nullopt;
        break;
    case biRle4:
        if (bits != 4 || !bottomUp || h->imageSize == 0)
            return std::nullopt;
        break;
    case biBitfields:
        if (bits != 16 && bits != 32)
            return std::nullopt;
        break;
    default:
        return std::nullopt;
    }

    std::uint64_t colors = h->colorsUsed;
    if (bits <= 8) {
        const std::uint64_t most = std::uint64_t{1} << bits;
        if (colors == 0)
            colors = most;
        if (colors > most)
            return std::nullopt;
    }
    // A 40-byte header keeps the three bit-field masks after itself.
    const std::uint64_t masks = h->compression == biBitfields && h->infoSize == 40 ? 12 : 0;

    DibLayout layout;
    layout.width = h->width;
    layout.height = bottomUp ? h->height : -h->height;
    layout.infoSize = h->infoSize + masks + 4 * colors;
    layout.pixelOffset = h->pixelOffset;
    const std::uint64_t fileSize = file.size();
    if (h->compression == biRle8 || h->compression == biRle4) {
        layout.pixelSize = h->imageSize;
    } else {
        const std::uint64_t stride =
            (static_cast<std::uint64_t>(layout.width) * bits + 31) / 32 * 4;
        // Checked against the file size by division: the product of two
        // header fields could overflow.
        if (static_cast<std::uint64_t>(layout.height) > fileSize / stride)
            return std::nullopt;
        layout.pixelSize = stride * static_cast<std::uint64_t>(layout.height);
    }
    if (bmpFileHeaderSize + layout.infoSize > fileSize ||
        layout.pixelOffset < bmpFileHeaderSize + layout.infoSize || layout.pixelOffset > fileSize ||
        layout.pixelSize > fileSize - layout.pixelOffset)
        return std::nullopt;
    return layout;
}

// n x millimetres x 100 / pixels in 64 bits, rounded half away from zero
// (all values here are positive).
std::int64_t hundredthsOfMillimetre(std::int64_t n, int millimetres, int pixels) {
    const std::int64_t numerator = n * millimetres * 100;
    return (2 * numerator + pixels) / (2 * std::int64_t{pixels});
}

} // namespace

bool isUsableReferenceDevice(const ReferenceDevice& d) {
    for (const int value : {d.widthPixels, d.heightPixels, d.widthMillimeters, d.heightMillimeters})
        if (value < 1 || value > maxDeviceValue)
            return false;
    return true;
}

std::vector<std::byte> metafileFromBmp(std::span<const std::byte> bmpFile,
                                       const ReferenceDevice& screen) {
    if (!isUsableReferenceDevice(screen))
        throw Error("Invalid reference device size");
    const auto dib = dibLayout(bmpFile);
    if (!dib)
        throw invalidBitmap();
    const std::int64_t frameRight =
        hundredthsOfMillimetre(dib->width, screen.widthMillimeters, screen.widthPixels);
    const std::int64_t frameBottom =
        hundredthsOfMillimetre(dib->height, screen.heightMillimeters, screen.heightPixels);
    const std::uint64_t drawSize =
        stretchDiBitsFixedSize + dib->infoSize + (dib->pixelSize + 3) / 4 * 4;
    const std::uint64_t total = headerSize + drawSize + eofSize;
    // Record sizes and coordinates are 32-bit in the format.
    constexpr auto int32Max = std::numeric_limits<std::int32_t>::max();
    if (total > std::numeric_limits<std::uint32_t>::max() || frameRight > int32Max ||
        frameBottom > int32Max)
        throw invalidBitmap();

    std::vector<std::byte> emf;
    emf.reserve(total);
    LittleEndianWriter out(emf);
    const std::int32_t right = dib->width - 1; // bounds are inclusive
    const std::int32_t bottom = dib->height - 1;

    out.u32(emrHeader);
    out.u32(headerSize);
    out.i32(0); // bounds: the pixels drawn
    out.i32(0);
    out.i32(right);
    out.i32(bottom);
    out.i32(0); // frame, in hundredths of a millimetre
    out.i32(0);
    out.i32(static_cast<std::int32_t>(frameRight));
    out.i32(static_cast<std::int32_t>(frameBottom));
    out.u32(emfSignature);
    out.u32(emfVersion);
    out.u32(static_cast<std::uint32_t>(total));
    out.u32(3); // records
    out.u16(1); // handles: only the reserved index 0
    out.u16(0); // reserved
    out.u32(0); // description length
    out.u32(0); // description offset
    out.u32(0); // palette entries
    out.i32(screen.widthPixels);
    out.i32(screen.heightPixels);
    out.i32(screen.widthMillimeters);
    out.i32(screen.heightMillimeters);
    out.u32(0); // pixel format size
    out.u32(0); // pixel format offset
    out.u32(0); // no OpenGL records
    out.i32(screen.widthMillimeters * 1000);
    out.i32(screen.heightMillimeters * 1000);

    out.u32(emrStretchDiBits);
    out.u32(static_cast<std::uint32_t>(drawSize));
    out.i32(0);
    out.i32(0);
    out.i32(right);
    out.i32(bottom);
    out.i32(0); // destination x, y
    out.i32(0);
    out.i32(0); // source x, y, width, height
    out.i32(0);
    out.i32(dib->width);
    out.i32(dib->height);
    out.u32(stretchDiBitsFixedSize); // info header offset and size
    out.u32(static_cast<std::uint32_t>(dib->infoSize));
    out.u32(static_cast<std::uint32_t>(stretchDiBitsFixedSize + dib->infoSize)); // pixels
    out.u32(static_cast<std::uint32_t>(dib->pixelSize));
    out.u32(dibRgbColors);
    out.u32(srcCopy);
    out.i32(dib->width); // destination width, height: 1:1
    out.i32(dib->height);
    out.append(bmpFile.subspan(bmpFileHeaderSize, dib->infoSize));
    out.append(bmpFile.subspan(dib->pixelOffset, dib->pixelSize));
    emf.resize(emf.size() + (4 - dib->pixelSize % 4) % 4); // records end on 4 bytes

    out.u32(emrEof);
    out.u32(eofSize);
    out.u32(0);  // palette entries
    out.u32(16); // palette offset: where one would start
    out.u32(eofSize);
    return emf;
}

void bmp2emf(const std::string& path, const ReferenceDevice& screen) {
    std::vector<std::byte> bmp;
    {
        InputFile in(path);
        // Checked as the preview checks it, and read no further than its
        // pixels can reach: a huge picture is refused, and bytes after the
        // pixels are never held.
        std::array<std::byte, bmpCheckHeadSize> head{};
        const std::size_t headSize = in.readSome(0, head);
        const BmpDecodePlan plan =
            checkBmpBeforeDecoding(std::span(head).first(headSize), in.size(), path);
        if (plan.bytesToRead > std::numeric_limits<std::uint32_t>::max())
            throw naming(path, invalidBitmap());
        bmp.resize(plan.bytesToRead);
        in.readExact(0, bmp);
    }
    std::vector<std::byte> emf;
    try {
        emf = metafileFromBmp(bmp, screen);
    } catch (const Error& error) {
        throw naming(path, error);
    }
    ReplacementFile file(replaceExtension(path, ".emf"));
    file.out().write(emf);
    file.commit();
}

} // namespace kadrix
