// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/screen_capture_choice.h"

#include "core/error.h"
#include "platform/linux/portal_module.h"
#include "platform/linux/wayland_screen_grabber.h"
#include "platform/linux/x11_screen_grabber.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace kadrix {

namespace {

// Where no grab works: each grab says why, never giving a black picture.
class UnavailableScreenGrabber final : public ScreenGrabber {
public:
    explicit UnavailableScreenGrabber(std::string reason) : reason_(std::move(reason)) {}
    ImageView grab(const ScreenRect&) override { throw Error(reason_); }

private:
    std::string reason_;
};

constexpr const char* noWaylandGrab =
    "Этот сеанс Wayland не даёт программе снимать экран: композитор не предлагает "
    "копирование экрана (wlr-screencopy), а портал рабочего стола (xdg-desktop-portal) "
    "не предлагает ни трансляцию экрана, ни снимки. Снимки и клипы сделать нельзя.";

// The program's settings file, as the desktop's base directories place it.
std::string settingsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return std::string(config) + "/kadrix/kadrix.conf";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/kadrix/kadrix.conf";
}

PortalGrabberOptions portalOptions() {
    PortalGrabberOptions options{settingsFile(), 0, 0};
    // XWayland's root has the size of the desktop's logical layout.
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x11(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (!xcb_connection_has_error(x11.get())) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x11.get())).data;
        options.desktopWidth = screen->width_in_pixels;
        options.desktopHeight = screen->height_in_pixels;
    }
    return options;
}

} // namespace

ScreenCaptureChoice chooseScreenCapture(const SessionEnvironment& session) {
    const bool wayland = session.sessionType == "wayland" || !session.waylandDisplay.empty();
    if (!wayland)
        return {nullptr, false, {}};
    std::string failure;
    try {
        return {std::make_unique<WaylandScreenGrabber>(), true, {}};
    } catch (const Error& error) {
        failure = error.what();
    }
    // GNOME, KDE and the others: the desktop's portal, which asks the user.
    std::string portalFailure;
    if (std::unique_ptr<ScreenGrabber> portal =
            createPortalScreenGrabber(portalOptions(), portalFailure))
        return {std::move(portal), true, {}};
    return {
        std::make_unique<UnavailableScreenGrabber>(
            "Cannot grab the screen of this Wayland session: " + failure + "; " + portalFailure),
        true, noWaylandGrab};
}

std::unique_ptr<ScreenGrabber> openSessionScreenGrabber() {
    ScreenCaptureChoice capture = chooseScreenCapture(currentSessionEnvironment());
    if (capture.grabber)
        return std::move(capture.grabber);
    return std::make_unique<X11ScreenGrabber>();
}

} // namespace kadrix
