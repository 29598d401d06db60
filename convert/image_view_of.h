#pragma once

#include "capture/image_view.h"
#include "convert/nearest_resize.h"

#include <QImage>

namespace kadrix {

// The pixels of a 32-bit QImage (Format_RGB32, which is blue, green, red,
// unused in memory on a little-endian machine) as the library reads and
// writes them, without a copy.
inline ImageView imageViewOf(const QImage& image) {
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    return {
        image.width(),
        image.height(),
        PixelFormat::Bgrx32,
        static_cast<std::size_t>(image.bytesPerLine()),
        std::as_bytes(std::span(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()))),
        {}};
}

inline MutableImageView mutableImageViewOf(QImage& image) {
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    return {image.width(), image.height(), static_cast<std::size_t>(image.bytesPerLine()),
            std::as_writable_bytes(
                std::span(image.bits(), static_cast<std::size_t>(image.sizeInBytes())))};
}

} // namespace kadrix
