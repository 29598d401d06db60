#pragma once

#include "platform/screen_grabber.h"
#include "platform/tray_icon.h"

#include <memory>

class QIcon;

namespace kadrix {

// The one place that picks the platform services for the display the
// program runs on. Returns none where the display offers no screen grab
// (not X11); the capture button then says so.
std::unique_ptr<ScreenGrabber> createScreenGrabber();

// The program's icon in the notification area; the null one where the
// platform cannot have one (offscreen, minimal).
std::unique_ptr<TrayIcon> createTrayIcon(const QIcon& icon);

} // namespace kadrix
