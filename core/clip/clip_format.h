// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kadrix {

class InputFile;

// How the pixels of an AVI file's first video stream are stored, from its
// stream format chunk (a bitmap info header).
struct ClipPixelFormat {
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0; // 0: uncompressed, 3: bit fields
};

// How many leading bytes are searched for the stream headers; they come
// first in every AVI file, ours included.
inline constexpr std::size_t clipHeadSize = 64 * 1024;

// Walks the RIFF AVI chunks in head (hdrl, then each strl) to the first
// video stream's format. Nothing when head is not an AVI file or ends first.
std::optional<ClipPixelFormat> clipPixelFormat(std::span<const std::byte> head);

// The player shows uncompressed clips of 24 and 32 bits only: it cannot show
// 16-bit clips, and shows 8-bit clips with a palette black. Throws
// kadrix::Error naming the file, in the user's words, for those; any other
// clip, and a file whose format cannot be found, is left to the player.
void checkClipCanBeShown(InputFile& file);

} // namespace kadrix
