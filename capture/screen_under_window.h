// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"
#include "platform/window_service.h"

class QWidget;

namespace kadrix {

// The screen under a window's whole outer rectangle, in physical pixels, as
// if the window were not there: the window service takes the window away for
// the moment of the grab, and the grab waits until what lies beneath has been
// drawn again. The picture stays valid until the grabber's next grab.
ImageView grabUnderWindow(QWidget& window, ScreenGrabber& grabber, WindowService& windows);

// The window's outer rectangle in physical pixels.
ScreenRect outerRectInPixels(const QWidget& window);

// The screen the window is on, in physical pixels, where it lies in the
// virtual desktop that spans all screens.
ScreenRect screenRectInPixels(const QWidget& window);

} // namespace kadrix
