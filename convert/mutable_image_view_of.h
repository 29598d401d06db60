// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/nearest_resize.h"

#include <QImage>

namespace kadrix {

// The pixels of a 32-bit QImage (Format_RGB32: blue, green, red, unused in
// memory on a little-endian machine) for the library to write into, without
// a copy.
inline MutableImageView mutableImageViewOf(QImage& image) {
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    return {image.width(), image.height(), static_cast<std::size_t>(image.bytesPerLine()),
            std::as_writable_bytes(
                std::span(image.bits(), static_cast<std::size_t>(image.sizeInBytes())))};
}

} // namespace kadrix
