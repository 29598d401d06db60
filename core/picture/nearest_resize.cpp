// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/nearest_resize.h"

#include "core/error.h"
#include "core/rounding.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace kadrix {

namespace {

// The source index under the centre of target index i.
int sourceIndex(int i, int sourceCount, int targetCount) {
    const auto numerator = (2 * static_cast<std::int64_t>(i) + 1) * sourceCount;
    return static_cast<int>(numerator / (2 * static_cast<std::int64_t>(targetCount)));
}

} // namespace

PictureSize scaledToHeight(PictureSize source, int height) {
    if (source.height <= 0)
        return {};
    const double factor = static_cast<double>(height) / source.height;
    return {static_cast<int>(roundHalfEven(source.width * factor)),
            static_cast<int>(roundHalfEven(source.height * factor))};
}

void resizeNearest(const ImageView& source, const MutableImageView& target) {
    if (source.format != PixelFormat::Bgrx32)
        throw Error("Pictures are scaled from 32-bit pixels");
    if (target.width <= 0 || target.height <= 0)
        return;
    if (source.width <= 0 || source.height <= 0)
        throw Error("An empty picture cannot be scaled up");
    std::vector<std::size_t> columnOffsets(static_cast<std::size_t>(target.width));
    for (int x = 0; x < target.width; ++x)
        columnOffsets[static_cast<std::size_t>(x)] =
            static_cast<std::size_t>(sourceIndex(x, source.width, target.width)) *
            bgrxBytesPerPixel;
    const auto rowBytes = static_cast<std::size_t>(target.width) * bgrxBytesPerPixel;
    int previousSourceRow = -1;
    for (int y = 0; y < target.height; ++y) {
        const int sourceRow = sourceIndex(y, source.height, target.height);
        std::byte* out = target.row(y);
        if (sourceRow == previousSourceRow) {
            // A repeated row: the row above is already this one.
            std::memcpy(out, target.row(y - 1), rowBytes);
            continue;
        }
        const std::byte* in = source.row(sourceRow);
        for (const std::size_t offset : columnOffsets) {
            std::memcpy(out, in + offset, bgrxBytesPerPixel);
            out += bgrxBytesPerPixel;
        }
        previousSourceRow = sourceRow;
    }
}

} // namespace kadrix
