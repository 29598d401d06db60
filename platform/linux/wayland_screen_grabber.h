// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace kadrix {

// Grabs the screen of a wlroots compositor (Sway and others) through its
// screencopy protocol, on a connection of its own. Rectangles are in the
// compositor's logical layout, which is XWayland's coordinates; pictures have
// the outputs' device pixels, so at output scale 2 a 400 x 300 rectangle
// gives an 800 x 600 picture. Fractional scales round outward; a rectangle
// across outputs of different scales is drawn at the largest.
class WaylandScreenGrabber final : public ScreenGrabber {
public:
    // Connects to the compositor that $WAYLAND_DISPLAY names. Throws
    // kadrix::Error when there is none or it offers no screencopy.
    WaylandScreenGrabber();
    ~WaylandScreenGrabber() override;
    WaylandScreenGrabber(const WaylandScreenGrabber&) = delete;
    WaylandScreenGrabber& operator=(const WaylandScreenGrabber&) = delete;

    ImageView grab(const ScreenRect& rect) override;

    struct Connection;

private:
    std::unique_ptr<Connection> connection_;
    std::vector<std::byte> composed_; // a picture made of several parts
};

} // namespace kadrix
