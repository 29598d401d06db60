// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/avi_clip_reader.h"

#include "core/clip/riff_chunks.h"
#include "core/little_endian.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace kadrix {

namespace {

// The header list of a clip of ours is a few hundred bytes, of any clip some
// kilobytes; it is read whole, so a size field cannot make it any larger.
constexpr std::uint64_t headerListLimit = std::uint64_t{1} << 20;
// A frame's sides are kept to what a 16-bit frame rectangle can say, and a
// frame below 1 GiB, as the clip writer keeps them.
constexpr std::int64_t sideLimit = 0x7FFF;
constexpr std::uint64_t frameLimit = std::uint64_t{1} << 30;

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biBitfields = 3;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::size_t paletteSize = 256;

InputFile openClip(std::string path) {
    try {
        return InputFile(std::move(path));
    } catch (const Error& error) {
        throw ClipReadError(error.what());
    }
}

} // namespace

AviClipReader::AviClipReader(std::string path) : file_(openClip(std::move(path))) {
    const std::string& name = file_.path();
    try {
        fileSize_ = file_.size();
        // Each RIFF in turn: "AVI " first, then the OpenDML "AVIX" ones.
        for (std::uint64_t at = 0; at + 12 <= fileSize_;) {
            std::array<std::byte, 12> head{};
            file_.readExact(at, head);
            const bool first = at == 0;
            if (!isCode(head, 0, "RIFF") || !isCode(head, 8, first ? "AVI " : "AVIX"))
                break;
            const std::uint64_t size = readU32(head, 4);
            const std::uint64_t end = std::min(at + 8 + size, fileSize_);
            std::uint64_t chunkAt = at + 12;
            while (chunkAt + 12 <= end) {
                file_.readExact(chunkAt, head);
                const std::uint64_t chunkSize = readU32(head, 4);
                const std::uint64_t dataStart = chunkAt + 8;
                const std::uint64_t dataEnd = std::min(dataStart + chunkSize, end);
                if (isCode(head, 0, "LIST") && isCode(head, 8, "hdrl") && first)
                    readHeaderList(dataStart + 4, dataEnd);
                else if (isCode(head, 0, "LIST") && isCode(head, 8, "movi") && stream_ >= 0)
                    findFrames(dataStart + 4, dataEnd, 0);
                chunkAt = dataStart + chunkSize + chunkSize % 2;
            }
            at += 8 + size + size % 2;
        }
    } catch (const ClipFormatError&) {
        throw;
    } catch (const Error& error) {
        throw ClipReadError(error.what());
    }
    if (fileSize_ < 12 || layout_.rate == 0)
        throw ClipReadError(name + ": not an AVI clip with a video stream");
    if (frameOffsets_.empty())
        throw ClipReadError(name + ": the clip holds no frames");
    layout_.frames = frameOffsets_.size();
}

void AviClipReader::readHeaderList(std::uint64_t begin, std::uint64_t end) {
    if (begin >= end || end - begin > headerListLimit)
        return;
    std::vector<std::byte> list(static_cast<std::size_t>(end - begin));
    file_.readExact(begin, list);
    int streams = 0;
    forEachChunk(list, 0, list.size(), [&](const Chunk& strl) {
        if (!strl.isList("strl") || stream_ >= 0)
            return;
        const int number = streams++;
        bool video = false;
        const auto start = static_cast<std::size_t>(strl.dataStart + 4);
        const auto stop = static_cast<std::size_t>(strl.dataStart + strl.size);
        forEachChunk(list, start, stop, [&](const Chunk& chunk) {
            const auto data = std::span<const std::byte>(list).subspan(
                static_cast<std::size_t>(chunk.dataStart), static_cast<std::size_t>(chunk.size));
            if (chunk.is("strh") && data.size() >= 28 && isCode(data, 0, "vids")) {
                video = true;
                layout_.scale = readU32(data, 20);
                layout_.rate = readU32(data, 24);
            } else if (chunk.is("strf") && video && stream_ < 0) {
                readFormat(data);
                stream_ = number;
            }
        });
    });
    if (stream_ >= 0 && (layout_.rate == 0 || layout_.scale == 0))
        throw ClipReadError(file_.path() + ": the clip has no frame rate");
}

void AviClipReader::readFormat(std::span<const std::byte> strf) {
    const std::string& name = file_.path();
    if (strf.size() < infoHeaderSize)
        throw ClipReadError(name + ": the clip's frame format is cut short");
    const std::uint32_t headerSize = readU32(strf, 0);
    const auto width = static_cast<std::int32_t>(readU32(strf, 4));
    const auto height = static_cast<std::int32_t>(readU32(strf, 8));
    const std::uint16_t bits = readU16(strf, 14);
    const std::uint32_t compression = readU32(strf, 16);
    if (width < 1 || width > sideLimit || height == 0 || height < -sideLimit ||
        height > sideLimit || headerSize < infoHeaderSize || headerSize > strf.size())
        throw ClipReadError(name + ": the clip's frame format is damaged");
    const auto masks = [&](std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
        return strf.size() >= infoHeaderSize + 12 && readU32(strf, infoHeaderSize) == red &&
               readU32(strf, infoHeaderSize + 4) == green &&
               readU32(strf, infoHeaderSize + 8) == blue;
    };
    bool known = true;
    if (compression == biRgb && bits == 8)
        layout_.format = PixelFormat::Indexed8;
    else if (compression == biRgb && bits == 16)
        layout_.format = PixelFormat::Rgb555;
    else if (compression == biRgb && bits == 24)
        layout_.format = PixelFormat::Bgr24;
    else if (compression == biRgb && bits == 32)
        layout_.format = PixelFormat::Bgrx32;
    else if (compression == biBitfields && bits == 16 && masks(0xF800, 0x07E0, 0x001F))
        layout_.format = PixelFormat::Rgb565;
    else if (compression == biBitfields && bits == 16 && masks(0x7C00, 0x03E0, 0x001F))
        layout_.format = PixelFormat::Rgb555;
    else if (compression == biBitfields && bits == 32 && masks(0xFF0000, 0xFF00, 0xFF))
        layout_.format = PixelFormat::Bgrx32;
    else
        known = false;
    if (!known)
        throw ClipFormatError(name + ": the clip's frames are compressed or of " +
                              std::to_string(bits) + " bits, which cannot be read");
    if (layout_.format == PixelFormat::Indexed8) {
        const std::uint32_t used = readU32(strf, 32);
        const std::size_t listed = used == 0 ? paletteSize : std::min<std::size_t>(used, 256);
        const std::size_t held = std::min(listed, (strf.size() - headerSize) / 4);
        // Colours the table lacks are black.
        palette_.assign(paletteSize, PaletteColor{});
        for (std::size_t i = 0; i < held; ++i) {
            const std::size_t at = headerSize + 4 * i;
            palette_[i] = {std::to_integer<std::uint8_t>(strf[at + 2]),
                           std::to_integer<std::uint8_t>(strf[at + 1]),
                           std::to_integer<std::uint8_t>(strf[at])};
        }
        layout_.palette = palette_;
    }
    layout_.width = width;
    layout_.height = height < 0 ? -height : height;
    bottomUp_ = height > 0;
    stride_ = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    frameBytes_ = std::uint64_t{stride_} * static_cast<std::uint64_t>(layout_.height);
    if (frameBytes_ > frameLimit)
        throw ClipReadError(name + ": the clip's frames are too large");
}

void AviClipReader::findFrames(std::uint64_t begin, std::uint64_t end, int depth) {
    const char digits[2] = {static_cast<char>('0' + stream_ / 10 % 10),
                            static_cast<char>('0' + stream_ % 10)};
    std::array<std::byte, 12> head{};
    for (std::uint64_t at = begin; at + 8 <= end;) {
        file_.readExact(at, std::span(head).first(std::min<std::uint64_t>(12, end - at)));
        const std::uint64_t size = readU32(head, 4);
        const std::uint64_t dataStart = at + 8;
        // A clip whose writing was cut off: its whole frames are the clip.
        if (dataStart + size > end)
            return;
        const bool frame = std::memcmp(head.data(), digits, 2) == 0 &&
                           (std::memcmp(head.data() + 2, "db", 2) == 0 ||
                            std::memcmp(head.data() + 2, "dc", 2) == 0);
        if (frame) {
            if (size < frameBytes_)
                throw ClipReadError(file_.path() + ": frame " +
                                    std::to_string(frameOffsets_.size() + 1) + " is cut short");
            frameOffsets_.push_back(dataStart);
        } else if (isCode(head, 0, "LIST") && isCode(head, 8, "rec ") && depth == 0 && size >= 4) {
            findFrames(dataStart + 4, dataStart + size, depth + 1);
        }
        at = dataStart + size + size % 2;
    }
}

FramePixels AviClipReader::read(std::size_t index, std::span<std::byte> into) {
    const std::span<std::byte> pixels = into.first(frameBytes());
    try {
        file_.readExact(frameOffsets_.at(index), pixels);
    } catch (const Error& error) {
        throw ClipReadError(error.what());
    }
    const auto step = static_cast<std::ptrdiff_t>(stride_);
    if (!bottomUp_)
        return {pixels.data(), step};
    return {pixels.data() + step * (layout_.height - 1), -step};
}

} // namespace kadrix
