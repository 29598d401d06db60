#pragma once

#include "platform/screen_grabber.h"

#include <memory>

namespace kadrix {

// The one place that picks the platform services for the display the
// program runs on. Returns none where the display offers no screen grab
// (not X11); the capture button then says so.
std::unique_ptr<ScreenGrabber> createScreenGrabber();

} // namespace kadrix
