// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/screen_capture_choice.h"

#include "core/error.h"
#include "platform/linux/wayland_screen_grabber.h"
#include "platform/linux/x11_screen_grabber.h"

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
    "копирование экрана (wlr-screencopy). Снимки и клипы сделать нельзя.";

} // namespace

ScreenCaptureChoice chooseScreenCapture(const SessionEnvironment& session) {
    const bool wayland = session.sessionType == "wayland" || !session.waylandDisplay.empty();
    if (!wayland)
        return {nullptr, false, {}};
    try {
        return {std::make_unique<WaylandScreenGrabber>(), true, {}};
    } catch (const Error& error) {
        return {std::make_unique<UnavailableScreenGrabber>(
                    std::string("Cannot grab the screen of this Wayland session: ") + error.what()),
                true, noWaylandGrab};
    }
}

std::unique_ptr<ScreenGrabber> openSessionScreenGrabber() {
    ScreenCaptureChoice capture = chooseScreenCapture(currentSessionEnvironment());
    if (capture.grabber)
        return std::move(capture.grabber);
    return std::make_unique<X11ScreenGrabber>();
}

} // namespace kadrix
