// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"

#include <cstddef>
#include <vector>

namespace kadrix {

// A monitor's picture and its place in the desktop's logical layout; the
// picture may have more pixels than the place (a scaled monitor).
struct PlacedPicture {
    ScreenRect place;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    bool redFirst = false; // RGBx bytes; otherwise BGRx
    const std::byte* pixels = nullptr;
};

// The picture of rect (logical) made of the monitors' pictures in their
// device pixels, at the largest scale among the monitors it meets, rounded
// outwards; parts on no monitor are black. Bgrx32 into picture.
ImageView composePicture(const ScreenRect& rect, const std::vector<PlacedPicture>& monitors,
                         std::vector<std::byte>& picture);

} // namespace kadrix
