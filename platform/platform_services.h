// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mail_composer.h"
#include "platform/screen_grabber.h"
#include "platform/tray_icon.h"
#include "platform/url_opener.h"
#include "platform/window_service.h"

#include <QIcon>
#include <functional>
#include <memory>
#include <string>

class QIcon;

namespace kadrix {

// The services of the display the program runs on. Never null: where the
// display offers none, the null services say so when called.
struct PlatformServices {
    std::unique_ptr<ScreenGrabber> grabber;
    std::unique_ptr<WindowService> windows;
    // The desktop's mail composer and its opener of pages (the help page).
    std::unique_ptr<MailComposer> mailComposer;
    std::unique_ptr<UrlOpener> urlOpener;
    // What the user is told once at start where the screen cannot be grabbed;
    // empty where it can.
    std::string notice;
};

// The one place that picks the platform: on an X server, its grab and shaped
// windows in an X11 session, the compositor's grab and see-through 32-bit
// windows in a Wayland session (XWayland); the null services without an X
// server. Needs the application object.
PlatformServices choosePlatformServices();

// The program's icon in the notification area: through Qt's tray icon,
// except on a display that can have none (offscreen, minimal), where the
// null icon keeps the window shown. picture is asked for when the icon is
// first shown.
std::unique_ptr<TrayIcon> chooseTrayIcon(std::function<QIcon()> picture);

// The services of a display that offers none.
PlatformServices nullPlatformServices();

} // namespace kadrix
