// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"

#include <memory>
#include <string>

namespace kadrix {

// The screen grab through the desktop's portal (GNOME, KDE and the other
// desktops without wlr-screencopy): D-Bus and PipeWire, in a module loaded
// only there, so that they cost an X11 session nothing.
inline constexpr char portalModuleFileName[] = "kadrix-portal.so";

struct PortalGrabberOptions {
    // The program's settings, where the desktop's permission is kept.
    std::string settingsFile;
    // The desktop's logical size (XWayland's root), to place a whole-desktop
    // screenshot; 0 where unknown.
    int desktopWidth = 0;
    int desktopHeight = 0;
};

// The grabber where the portal offers a screen cast or screenshots; null,
// with the reason in failure, where it offers neither or the module is
// missing.
std::unique_ptr<ScreenGrabber> createPortalScreenGrabber(const PortalGrabberOptions& options,
                                                         std::string& failure);

// The module's entry: a new grabber, or null with the reason in failure.
using MakePortalScreenGrabber = ScreenGrabber* (*)(const PortalGrabberOptions&,
                                                   std::string& failure);
inline constexpr char portalModuleEntry[] = "kadrixPortalScreenGrabber";

} // namespace kadrix
