#include "platform/platform_services.h"

#include "platform/linux/x11_screen_grabber.h"
#include "platform/linux/x11_window_service.h"
#include "platform/null_services.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <cstdlib>
#include <exception>

namespace kadrix {

namespace {

Q_LOGGING_CATEGORY(platformLog, "kadrix.platform", QtWarningMsg)

} // namespace

PlatformServices nullPlatformServices() {
    return {std::make_unique<NullScreenGrabber>(), std::make_unique<NullWindowService>()};
}

PlatformServices choosePlatformServices() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullPlatformServices();
    // The screen Qt works on is the one that $DISPLAY names.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    try {
        return {std::make_unique<X11ScreenGrabber>(x11->connection(), screen),
                std::make_unique<X11WindowService>(x11->connection())};
    } catch (const std::exception& error) {
        qCWarning(platformLog) << "No screen grab on this X server:" << error.what();
        return nullPlatformServices();
    }
}

} // namespace kadrix
