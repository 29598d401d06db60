// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window_service.h"

#include <map>
#include <xcb/xcb.h>

namespace kadrix {

// The window service of XWayland on a Wayland desktop. The compositor shows
// a window's pixels and ignores its X11 shape, so a see-through window is a
// 32-bit one whose see-through parts are fully transparent; clicks pass
// there through its input shape, which XWayland hands to the compositor. A
// window goes off the screen by being painted fully transparent, and comes
// back when the toolkit draws it again.
class XWaylandWindowService final : public WindowService {
public:
    // connection stays the caller's and must outlive the service.
    explicit XWaylandWindowService(xcb_connection_t* connection) : connection_(connection) {}

    bool canTakeAway() const override { return true; }
    std::unique_ptr<WindowAway> takeAway(NativeWindow window,
                                         const std::vector<ScreenRect>& shape) override;
    void flush() override;
    bool seeThroughByAlpha() const override { return true; }
    void setInputShape(NativeWindow window, const std::vector<ScreenRect>& opaque) override;
    std::vector<ScreenRect> inputShape(NativeWindow window) const override;

private:
    xcb_connection_t* connection_;
    std::map<NativeWindow, std::vector<ScreenRect>> inputShapes_;
};

} // namespace kadrix
