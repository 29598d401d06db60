// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/display_session.h"

#include <cstdlib>

namespace kadrix {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

SessionEnvironment currentSessionEnvironment() {
    return {environment("XDG_SESSION_TYPE"), environment("WAYLAND_DISPLAY"), environment("DISPLAY"),
            environment("QT_QPA_PLATFORM")};
}

DisplayChoice chooseDisplay(const SessionEnvironment& session) {
    const bool waylandPlatform = session.qtPlatform.starts_with("wayland");
    // Another platform named explicitly (offscreen, xcb) is the user's or a
    // test's choice.
    if (!session.qtPlatform.empty() && !waylandPlatform)
        return DisplayChoice::AsIs;
    const bool wayland =
        session.sessionType == "wayland" || !session.waylandDisplay.empty() || waylandPlatform;
    if (session.display.empty())
        return DisplayChoice::NoXServer;
    return wayland ? DisplayChoice::XWayland : DisplayChoice::AsIs;
}

void applyDisplayChoice(DisplayChoice choice) {
    if (choice == DisplayChoice::XWayland)
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

std::string_view displayNotice(DisplayChoice choice) {
    switch (choice) {
    case DisplayChoice::AsIs:
    case DisplayChoice::XWayland:
        return {};
    case DisplayChoice::NoXServer:
        return "X-сервер не найден (переменная DISPLAY не задана): снимать экран можно "
               "только в сеансе X11 или Wayland с XWayland. Программа закрывается.";
    }
    return {};
}

} // namespace kadrix
