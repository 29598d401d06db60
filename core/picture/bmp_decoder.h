// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/bmp_decode_check.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kadrix {

class InputFile;

// Reads up to bytes.size() bytes of a file from offset; returns how many.
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::byte> bytes)>;

// A picture size.
struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The largest size of at most box that keeps the picture's proportions,
// but never larger than the picture itself and never below one pixel.
PictureSize fittedSize(PictureSize picture, PictureSize box);

// Decodes the pixels of a checked BMP file into out, target.width x
// target.height pixels 0xFFRRGGBB, rows top-down without padding. A target
// smaller than the picture is decoded row by row into it, each pixel the
// mean of the pixels it covers, so that only one row of the picture is
// held; the target must not be larger than the picture either way. Palette
// and 16-, 24- and 32-bit pixels, bit fields, top-down rows, RLE8 and RLE4
// (pixels that the compressed data leaves out take the first palette
// colour). Throws kadrix::Error naming path when the file ends early.
void decodeBmp(const BmpDecodePlan& plan, const ReadAt& read, PictureSize target,
               std::span<std::uint32_t> out, const std::string& path);

// Checks the BMP file and decodes it at its own size.
struct DecodedBmp {
    PictureSize size;
    std::vector<std::uint32_t> pixels;
};
DecodedBmp decodeBmpFile(const InputFile& file);

} // namespace kadrix
