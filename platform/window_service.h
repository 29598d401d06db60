// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kadrix {

// The display's own handle of a top-level window (an X11 window id).
using NativeWindow = std::uint64_t;

// While it lives, a window is off the screen; at its end the window comes
// back as it was.
class WindowAway {
public:
    virtual ~WindowAway() = default;
};

// What a see-through capture window needs of the display beyond what the
// toolkit offers.
class WindowService {
public:
    virtual ~WindowService() = default;

    // Whether takeAway() really takes a window off the screen; where it does
    // not, a grab of the window's rectangle shows the window itself.
    virtual bool canTakeAway() const = 0;
    // Takes window off the screen without unmapping it, so that it keeps its
    // place and the focus; returns once the display has done so. shape is the
    // window's shape to put back, in physical pixels; empty for a window that
    // is not shaped.
    virtual std::unique_ptr<WindowAway> takeAway(NativeWindow window,
                                                 const std::vector<ScreenRect>& shape) = 0;
    // Sends what the toolkit may still hold back (a new shape) to the display,
    // so that the next grab of the screen sees it.
    virtual void flush() = 0;

    // Whether a window's see-through parts are its fully transparent pixels
    // (a 32-bit window) rather than holes in its shape: where the display
    // ignores the shape, as a Wayland compositor does XWayland's.
    virtual bool seeThroughByAlpha() const { return false; }
    // For such a window: clicks reach it only on these opaque rectangles, in
    // physical pixels, and pass to the windows beneath elsewhere; empty for
    // the whole window.
    virtual void setInputShape(NativeWindow, const std::vector<ScreenRect>&) {}
    // The rectangles last given to setInputShape(); empty for the whole window.
    virtual std::vector<ScreenRect> inputShape(NativeWindow) const { return {}; }
};

} // namespace kadrix
