// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/display_session.h"
#include "platform/screen_grabber.h"

#include <memory>
#include <string>

namespace kadrix {

// How the screen is grabbed in the session the program runs in. Chosen here
// once, for the program and for kadrix-tool alike.
struct ScreenCaptureChoice {
    // Null in an X11 session, where the X server's own grab is right: the
    // caller makes it on the connection it has.
    std::unique_ptr<ScreenGrabber> grabber;
    // A Wayland session, whose windows reach the compositor through XWayland.
    bool wayland = false;
    // What the user is told once at start where no grab works, in the
    // program's language; empty otherwise. The grabber then fails, saying why.
    std::string notice;
};

// A Wayland session (WAYLAND_DISPLAY or XDG_SESSION_TYPE says so) is grabbed
// through the compositor: wlr-screencopy where it offers that, otherwise the
// desktop's portal (a screen cast, or screenshots). An X11 grab of
// XWayland's root would see only X11 windows, black everywhere else.
ScreenCaptureChoice chooseScreenCapture(const SessionEnvironment& session);

} // namespace kadrix
