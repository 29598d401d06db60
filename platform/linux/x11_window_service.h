// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window_service.h"

#include <xcb/xcb.h>

namespace kadrix {

// The window service of an X server: a window goes off the screen by being
// shaped to nothing (X11 SHAPE) and made fully transparent for a compositor,
// which may keep showing its own copy of a window whose shape changed.
class X11WindowService final : public WindowService {
public:
    // connection stays the caller's and must outlive the service.
    explicit X11WindowService(xcb_connection_t* connection);

    bool canTakeAway() const override { return true; }
    std::unique_ptr<WindowAway> takeAway(NativeWindow window,
                                         const std::vector<ScreenRect>& shape) override;
    void flush() override;

private:
    xcb_connection_t* connection_;
    // Asked of the server once: a round trip on every frame of a recording is
    // time the frame path does not have.
    xcb_atom_t opacity_;
};

} // namespace kadrix
