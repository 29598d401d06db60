// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/picture_pixels.h"

namespace kadrix {

namespace {

// Qt's 32-bit formats whose bytes in memory are blue, green, red and one
// more that the encoders skip.
bool isBgrx(QImage::Format format) {
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
           (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32);
}

} // namespace

PicturePixels::PicturePixels(const QImage& picture)
    : pixels_(isBgrx(picture.format()) ? picture : picture.convertToFormat(QImage::Format_RGB32)) {}

ImageView PicturePixels::view() const {
    const auto stride = static_cast<std::size_t>(pixels_.bytesPerLine());
    return ImageView{pixels_.width(),
                     pixels_.height(),
                     PixelFormat::Bgrx32,
                     stride,
                     std::as_bytes(std::span(pixels_.constBits(),
                                             static_cast<std::size_t>(pixels_.sizeInBytes()))),
                     {}};
}

} // namespace kadrix
