#include "app/platform_services.h"

#include "platform/linux/system_tray_icon.h"
#include "platform/linux/x11_screen_grabber.h"

#include <QGuiApplication>
#include <cstdlib>
#include <exception>

namespace kadrix {

std::unique_ptr<ScreenGrabber> createScreenGrabber() {
    if (QGuiApplication::platformName() != "xcb")
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    // The screen Qt works on is the one that $DISPLAY names.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    try {
        return std::make_unique<X11ScreenGrabber>(x11->connection(), screen);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace kadrix

namespace kadrix {

std::unique_ptr<TrayIcon> createTrayIcon(const QIcon& icon) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal")
        return std::make_unique<NullTrayIcon>();
    return std::make_unique<SystemTrayIcon>(icon, "Kadrix");
}

} // namespace kadrix
