// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rounding.h"

namespace kadrix {

// Where the viewer places things, from its window's outer size (the frame
// included), as its own layout has always done.
struct ViewerPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ViewerPoint&, const ViewerPoint&) = default;
};

// A picture in the middle of the window: half the window's outer size less
// half the picture's, each half rounded half to even before the subtraction.
inline ViewerPoint pictureOrigin(int windowWidth, int windowHeight, int pictureWidth,
                                 int pictureHeight) {
    auto half = [](int size) {
        return static_cast<int>(roundHalfEven(size / 2.0));
    };
    return {half(windowWidth) - half(pictureWidth), half(windowHeight) - half(pictureHeight)};
}

// Tops of the group boxes at the bottom left, from the outer height.
inline int playerGroupTop(int windowHeight) {
    return windowHeight - 75;
}
inline int captionGroupTop(int windowHeight) {
    return windowHeight - 85;
}
inline int conversionGroupTop(int windowHeight) {
    return windowHeight - 170;
}

} // namespace kadrix
