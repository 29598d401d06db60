// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/screen_reference_device.h"

#include <QScreen>
#include <cmath>

namespace kadrix {

ReferenceDevice screenReferenceDevice(const QScreen* screen) {
    if (!screen)
        return defaultReferenceDevice;
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    const QSizeF millimetres = screen->physicalSize();
    const ReferenceDevice device{pixels.width(), pixels.height(),
                                 static_cast<int>(std::lround(millimetres.width())),
                                 static_cast<int>(std::lround(millimetres.height()))};
    return isUsableReferenceDevice(device) ? device : defaultReferenceDevice;
}

} // namespace kadrix
