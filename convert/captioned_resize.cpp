// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/captioned_resize.h"

#include "convert/caption.h"
#include "convert/mutable_image_view_of.h"
#include "convert/picture_pixels.h"
#include "core/convert/jpeg_encoder.h"
#include "core/error.h"
#include "core/picture/nearest_resize.h"

namespace kadrix {

QImage captionedResize(QImage picture, const Caption& caption, int height) {
    // Painted on in true colour, whatever the file's depth.
    if (picture.format() != QImage::Format_RGB32)
        picture.convertTo(QImage::Format_RGB32);
    drawCaption(picture, caption.text, caption.color, caption.top);
    const PictureSize size = scaledToHeight({picture.width(), picture.height()}, height);
    if (size.width <= 0 || size.height <= 0)
        return {};
    if (size.width > maxJpegSide || size.height > maxJpegSide)
        throw Error("Maximum supported image dimension is " + std::to_string(maxJpegSide) +
                    " pixels");
    QImage resized(size.width, size.height, QImage::Format_RGB32);
    if (resized.isNull())
        throw Error("Not enough memory for a picture of " + std::to_string(size.width) + " x " +
                    std::to_string(size.height) + " pixels");
    resizeNearest(PicturePixels(picture).view(), mutableImageViewOf(resized));
    return resized;
}

} // namespace kadrix
