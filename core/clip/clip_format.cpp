// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/clip_format.h"

#include "core/clip/riff_chunks.h"
#include "core/error.h"
#include "core/file.h"
#include "core/little_endian.h"

#include <string>
#include <vector>

namespace kadrix {

namespace {

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biBitfields = 3;

// Looks through the chunks of one list (its contents from `begin` to `end`)
// for the stream format; descends into hdrl and strl lists only.
std::optional<ClipPixelFormat> search(std::span<const std::byte> bytes, std::size_t begin,
                                      std::size_t end, bool inStreamList) {
    std::optional<ClipPixelFormat> found;
    bool videoStream = false;
    bool done = false;
    forEachChunk(bytes, begin, end, [&](const Chunk& chunk) {
        if (done)
            return;
        const auto start = static_cast<std::size_t>(chunk.dataStart);
        const auto stop = static_cast<std::size_t>(chunk.dataStart + chunk.size);
        if (chunk.isList("hdrl") || chunk.isList("strl")) {
            found = search(bytes, start + 4, stop, chunk.isList("strl"));
            done = found.has_value();
        } else if (inStreamList && chunk.is("strh")) {
            videoStream = chunk.size >= 4 && isCode(bytes, start, "vids");
        } else if (inStreamList && videoStream && chunk.is("strf")) {
            // The first video stream's format decides, even when cut short.
            if (chunk.size >= 20)
                found = ClipPixelFormat{readU16(bytes, start + 14), readU32(bytes, start + 16)};
            done = true;
        }
    });
    return found;
}

} // namespace

std::optional<ClipPixelFormat> clipPixelFormat(std::span<const std::byte> head) {
    if (!isCode(head, 0, "RIFF") || !isCode(head, 8, "AVI "))
        return std::nullopt;
    return search(head, 12, head.size(), false);
}

void checkClipCanBeShown(InputFile& file) {
    std::vector<std::byte> head(clipHeadSize);
    head.resize(file.readSome(0, head));
    const auto format = clipPixelFormat(head);
    if (!format || (format->compression != biRgb && format->compression != biBitfields))
        return;
    const std::string clip = "Клип \"" + file.path() + "\" ";
    if (format->bitCount == 16)
        throw Error(clip + "записан с экрана в режиме 16-битного цвета. Встроенный проигрыватель "
                           "такие клипы не показывает: откройте его в другом проигрывателе");
    if (format->bitCount <= 8)
        throw Error(clip + "записан с экрана в режиме 256 цветов. Встроенный проигрыватель такие "
                           "клипы не показывает: откройте его в другом проигрывателе");
}

} // namespace kadrix
