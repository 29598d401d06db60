#include "app/platform_services.h"

#include "platform/linux/desktop_url_opener.h"
#include "platform/linux/x11_screen_grabber.h"
#include "platform/linux/xdg_email_composer.h"

#include <QGuiApplication>
#include <QStandardPaths>
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

std::unique_ptr<MailComposer> createMailComposer() {
    const QString xdgEmail = QStandardPaths::findExecutable("xdg-email");
    if (xdgEmail.isEmpty())
        return std::make_unique<NullMailComposer>();
    return std::make_unique<XdgEmailComposer>(xdgEmail);
}

std::unique_ptr<UrlOpener> createUrlOpener() {
    return std::make_unique<DesktopUrlOpener>();
}

} // namespace kadrix
