// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QImage;

namespace kadrix {

// The desktop's clipboard, which other programs paste pictures from.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Offers picture at full size; other programs paste it as image/png or
    // image/bmp.
    virtual void setImage(const QImage& picture) = 0;
};

} // namespace kadrix
