// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/portal/portal_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kadrix {

namespace {

bool meets(const ScreenRect& a, const ScreenRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

// Picture pixels of a length at a scale, rounded outwards; a scale a hair
// over a whole number gives no extra pixel.
int scaledLength(int length, double scale) {
    return static_cast<int>(std::ceil(length * scale - 1e-6));
}

// For each picture column (or row) of the rectangle: the monitor's column
// whose pixel it shows, or -1 where it is off the monitor.
std::vector<int> sourceIndices(int start, int count, double scale, int place, int placeLength,
                               int pixels) {
    std::vector<int> indices(static_cast<std::size_t>(count), -1);
    const double ratio = static_cast<double>(pixels) / placeLength;
    for (int i = 0; i < count; ++i) {
        // The picture pixel's middle, in the layout.
        const double at = start + (i + 0.5) / scale;
        if (at < place || at >= place + placeLength)
            continue;
        indices[static_cast<std::size_t>(i)] =
            std::clamp(static_cast<int>(std::floor((at - place) * ratio)), 0, pixels - 1);
    }
    return indices;
}

} // namespace

ImageView composePicture(const ScreenRect& rect, const std::vector<PlacedPicture>& monitors,
                         std::vector<std::byte>& picture) {
    double scale = 1.0;
    for (const PlacedPicture& monitor : monitors)
        if (meets(rect, monitor.place))
            scale = std::max(scale, static_cast<double>(monitor.width) / monitor.place.width);
    const int width = scaledLength(rect.width, scale);
    const int height = scaledLength(rect.height, scale);
    const std::size_t stride = static_cast<std::size_t>(width) * bgrxBytesPerPixel;
    picture.assign(stride * static_cast<std::size_t>(height), std::byte{0});

    for (const PlacedPicture& monitor : monitors) {
        if (!meets(rect, monitor.place))
            continue;
        const std::vector<int> columns = sourceIndices(rect.x, width, scale, monitor.place.x,
                                                       monitor.place.width, monitor.width);
        const std::vector<int> rows = sourceIndices(rect.y, height, scale, monitor.place.y,
                                                    monitor.place.height, monitor.height);
        const int red = monitor.redFirst ? 0 : 2;
        for (int y = 0; y < height; ++y) {
            const int sourceRow = rows[static_cast<std::size_t>(y)];
            if (sourceRow < 0)
                continue;
            const std::byte* source =
                monitor.pixels + static_cast<std::size_t>(sourceRow) * monitor.stride;
            std::byte* target = picture.data() + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                const int column = columns[static_cast<std::size_t>(x)];
                if (column < 0)
                    continue;
                const std::byte* pixel = source + static_cast<std::size_t>(column) * 4;
                std::byte* out = target + static_cast<std::size_t>(x) * bgrxBytesPerPixel;
                out[bgrxBlue] = pixel[2 - red];
                out[bgrxGreen] = pixel[1];
                out[bgrxRed] = pixel[red];
            }
        }
    }
    return {width, height, PixelFormat::Bgrx32, stride, picture, {}};
}

} // namespace kadrix
