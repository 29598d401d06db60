// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"
#include "core/picture/image_view.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace kadrix {

// The formats a clip can be shared in.
enum class ShareFormat {
    Mp4,  // H.264 in MP4, 4:2:0, CRF 20, preset veryfast, the index in front
    WebM, // VP9 in WebM, 4:2:0, CRF 32, row multithreading
    Gif,  // one palette made for the whole clip, dithered
};

// What every frame of a clip is like.
struct FrameLayout {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    std::span<const PaletteColor> palette; // Indexed8 only: 256 colours
    // Frames per second: rate / scale.
    std::uint32_t rate = 0;
    std::uint32_t scale = 1;
    std::size_t frames = 0;
};

// Where the pixels of a frame lie: the top row first, each next row rowStep
// bytes on (negative for a picture stored bottom-up).
struct FramePixels {
    std::byte* top = nullptr;
    std::ptrdiff_t rowStep = 0;
};

// The frames of a clip, read one at a time in any order into memory the
// caller gives, so that a clip is never in memory whole and a frame is
// never copied on its way to the encoder.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual const FrameLayout& layout() const = 0;
    // The bytes of one frame as stored, rows padded.
    virtual std::size_t frameBytes() const = 0;
    // Reads frame index into `into`, which holds frameBytes(), and says
    // where its rows lie there. Throws an std::exception when the frame
    // cannot be read.
    virtual FramePixels read(std::size_t index, std::span<std::byte> into) = 0;
};

// The file an encoder writes. Muxers go back to fill in sizes, and the MP4
// muxer reads what it wrote to move its index to the front. Both throw an
// std::exception on failure.
class EncodedFile {
public:
    virtual ~EncodedFile() = default;
    virtual void writeAt(std::uint64_t offset, std::span<const std::byte> bytes) = 0;
    // Reads up to bytes.size() bytes; returns how many there were.
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::byte> bytes) = 0;
};

// Told after each frame; a GIF takes two passes over the clip, so total is
// then twice the frames. Returns whether to go on.
using EncodeProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Encodes clips into the shared formats.
class ClipEncoder {
public:
    virtual ~ClipEncoder() = default;
    // Writes every frame of source to out, which is empty, in format. A width
    // or height that 4:2:0 H.264 cannot take is padded by one column or row
    // repeating the last; nothing is ever scaled. Returns false when progress
    // said to stop: out is incomplete then. Throws an std::exception with the
    // reason on a failure, also when out or source throws.
    virtual bool encode(FrameSource& source, ShareFormat format, EncodedFile& out,
                        const EncodeProgress& progress) = 0;
};

// What an encoder says when FFmpeg's libraries cannot be loaded.
class EncoderUnavailable : public Error {
public:
    using Error::Error;
};

} // namespace kadrix
