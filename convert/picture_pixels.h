// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <QImage>

namespace kadrix {

// A picture's pixels as the encoders read them (blue, green, red, unused).
// A 32-bit picture is used as it stands; any other is converted once.
class PicturePixels {
public:
    explicit PicturePixels(const QImage& picture);

    ImageView view() const;

private:
    QImage pixels_;
};

} // namespace kadrix
