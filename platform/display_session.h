// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace kadrix {

// What the environment says about the desktop session the program starts in.
struct SessionEnvironment {
    std::string sessionType;    // XDG_SESSION_TYPE: "x11", "wayland", ...
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string display;        // DISPLAY: an X server, XWayland on a Wayland desktop
    std::string qtPlatform;     // QT_QPA_PLATFORM, where the user or a test set one
};

SessionEnvironment currentSessionEnvironment();

// How the program meets its display. Its window must know where it stands on
// the screen, which a Wayland window cannot, so a Wayland desktop is used
// through its XWayland server (the screen is grabbed from the compositor).
enum class DisplayChoice {
    AsIs,      // an X11 session, or a platform chosen explicitly (offscreen)
    XWayland,  // a Wayland session with an X server beside it: run on that
    NoXServer, // nothing to grab the screen from
};

DisplayChoice chooseDisplay(const SessionEnvironment& session);

// Makes the toolkit run on X11 where the choice says XWayland; call before
// the application object exists.
void applyDisplayChoice(DisplayChoice choice);

// What the user is told at start, in the program's language; empty where
// there is an X server (the screen grab's choice says what it lacks).
std::string_view displayNotice(DisplayChoice choice);

} // namespace kadrix
