#pragma once

#include "platform/screen_grabber.h"
#include "platform/window_service.h"

#include <memory>

namespace kadrix {

// The services of the display the program runs on. Never null: where the
// display offers none, the null services say so when called.
struct PlatformServices {
    std::unique_ptr<ScreenGrabber> grabber;
    std::unique_ptr<WindowService> windows;
};

// The one place that picks the platform: the X11 services when the
// application runs on an X server, the null services otherwise. Needs the
// application object.
PlatformServices choosePlatformServices();

// The services of a display that offers none.
PlatformServices nullPlatformServices();

} // namespace kadrix
