// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kadrix {

// libjpeg takes no picture wider or higher than this.
inline constexpr int maxJpegSide = 65500;

// The program's JPEG settings (the converter's and the viewer's save):
// libjpeg's defaults (baseline, JFIF 1.01, YCbCr 4:2:0, standard Huffman
// tables, no restart markers) with quality 90 and force-baseline, from 8-bit
// RGB. Returns the stream from SOI to EOI, nothing else; a picture of width or
// height 0 gives no bytes. Throws kadrix::Error with libjpeg's text when the
// library refuses (for instance a side over 65500 pixels).
std::vector<std::byte> encodeJpeg(const ImageView& picture);

// Encodes and writes the result to path, creating or replacing the file.
void writeJpeg(const ImageView& picture, const std::string& path);

} // namespace kadrix
