// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/clip_encoder.h"
#include "core/error.h"
#include "core/file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kadrix {

// A clip that cannot be read; the text names the file.
class ClipReadError : public Error {
public:
    using Error::Error;
};

// A clip whose frames are compressed or of a depth that cannot be read.
class ClipFormatError : public Error {
public:
    using Error::Error;
};

// The first video stream of an uncompressed AVI clip, as Kadrix writes them
// (AVI 1.0, OpenDML past 1 GiB): 8 bits with a colour table, 16 bits in
// 5-5-5 or 5-6-5, 24 and 32 bits. Only the headers and the places of the
// frames are read at first; each frame is read when asked for.
class AviClipReader final : public FrameSource {
public:
    // Throws ClipReadError naming the file when it cannot be read, is no AVI
    // clip or holds no frame, ClipFormatError when its frames are compressed
    // or of another depth.
    explicit AviClipReader(std::string path);

    const FrameLayout& layout() const override { return layout_; }
    std::size_t frameBytes() const override { return static_cast<std::size_t>(frameBytes_); }
    // Throws ClipReadError when the frame cannot be read.
    FramePixels read(std::size_t index, std::span<std::byte> into) override;

private:
    void readHeaderList(std::uint64_t begin, std::uint64_t end);
    void readFormat(std::span<const std::byte> strf);
    void findFrames(std::uint64_t begin, std::uint64_t end, int depth);

    InputFile file_;
    std::uint64_t fileSize_ = 0;
    FrameLayout layout_;
    std::vector<PaletteColor> palette_;
    bool bottomUp_ = true;
    std::size_t stride_ = 0;
    std::uint64_t frameBytes_ = 0;
    int stream_ = -1; // the number of the video stream, as its chunks are named
    std::vector<std::uint64_t> frameOffsets_;
};

} // namespace kadrix
