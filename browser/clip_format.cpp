// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/clip_format.h"

#include "core/error.h"
#include "core/file.h"
#include "core/little_endian.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace kadrix {

namespace {

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t biBitfields = 3;

bool isCode(std::span<const std::byte> bytes, std::size_t at, const char (&code)[5]) {
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, code, 4) == 0;
}

// Looks through the chunks of one list (its contents from `begin` to `end`)
// for the stream format; descends into hdrl and strl lists only.
std::optional<ClipPixelFormat> search(std::span<const std::byte> bytes, std::size_t begin,
                                      std::size_t end, bool inStreamList, bool& videoStream) {
    std::size_t at = begin;
    while (at + 8 <= end) {
        const std::size_t size = readU32(bytes, at + 4);
        const std::size_t dataStart = at + 8;
        const std::size_t dataEnd = size > end - dataStart ? end : dataStart + size;
        if (isCode(bytes, at, "LIST") && dataStart + 4 <= dataEnd) {
            const bool header = isCode(bytes, dataStart, "hdrl");
            const bool stream = isCode(bytes, dataStart, "strl");
            if (header || stream) {
                bool video = false;
                if (auto found = search(bytes, dataStart + 4, dataEnd, stream, video))
                    return found;
            }
        } else if (inStreamList && isCode(bytes, at, "strh")) {
            videoStream = isCode(bytes, dataStart, "vids") && dataStart + 4 <= dataEnd;
        } else if (inStreamList && videoStream && isCode(bytes, at, "strf")) {
            if (dataStart + 20 > dataEnd)
                return std::nullopt;
            return ClipPixelFormat{readU16(bytes, dataStart + 14), readU32(bytes, dataStart + 16)};
        }
        if (size > end - dataStart)
            break;
        at = dataStart + size + size % 2; // chunks start on even bytes
    }
    return std::nullopt;
}

} // namespace

std::optional<ClipPixelFormat> clipPixelFormat(std::span<const std::byte> head) {
    if (!isCode(head, 0, "RIFF") || !isCode(head, 8, "AVI "))
        return std::nullopt;
    bool video = false;
    return search(head, 12, head.size(), false, video);
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
