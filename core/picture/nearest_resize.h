// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <cstddef>
#include <span>

namespace kadrix {

struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The size of a picture scaled to `height` rows with its aspect kept: the
// factor height / source height, as a double, times each side, rounded half
// to even. A source without rows scales to nothing.
PictureSize scaledToHeight(PictureSize source, int height);

// 32-bit pixels (blue, green, red, unused) to write: rows top-down, stride
// bytes apart.
struct MutableImageView {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    std::span<std::byte> pixels;

    std::byte* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * stride; }
};

// Nearest-neighbour scaling of a 32-bit picture to the target's size: the
// target pixel (x, y) takes the source pixel under its centre, column
// floor((2x + 1) * source width / (2 * target width)) and the row likewise,
// so whole rows and columns are dropped or repeated and the picture stays
// centred. Throws kadrix::Error for another pixel format.
void resizeNearest(const ImageView& source, const MutableImageView& target);

} // namespace kadrix
