// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <memory>

namespace kadrix {

// A rectangle of the screen in physical pixels; it may reach past the screen.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Copies what the screen shows in a rectangle.
class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;

    // The picture has the rectangle's size in the screen's device pixels
    // (larger where the display scales, as a Wayland output at scale 2 does)
    // and the screen's pixel format; the parts outside the screen are black. It stays valid until
    // the next grab or the grabber's end. Throws kadrix::Error.
    virtual ImageView grab(const ScreenRect& rect) = 0;

    // Begins, without waiting, what the first grab needs and may take long to
    // get, such as the desktop's consent; a grab begins it too.
    virtual void prepare() {}
};

// The screen grab of the session the caller runs in, on a display
// connection of its own: the compositor's in a Wayland session, the X
// server's in $DISPLAY otherwise. For a program without a window
// (kadrix-tool); the window's grab comes with its other services.
std::unique_ptr<ScreenGrabber> openSessionScreenGrabber();

} // namespace kadrix
