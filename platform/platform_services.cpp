// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform_services.h"

#include "platform/linux/desktop_url_opener.h"
#include "platform/linux/screen_capture_choice.h"
#include "platform/linux/system_tray_icon.h"
#include "platform/linux/x11_screen_grabber.h"
#include "platform/linux/x11_window_service.h"
#include "platform/linux/xdg_email_composer.h"
#include "platform/linux/xwayland_window_service.h"
#include "platform/null_services.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <cstdlib>
#include <exception>

namespace kadrix {

namespace {

Q_LOGGING_CATEGORY(platformLog, "kadrix.platform", QtWarningMsg)

// The desktop's services, which do not depend on the display: the mail
// composer and the page opener where xdg-utils are installed.
void addDesktopServices(PlatformServices& services) {
    const QString xdgEmail = QStandardPaths::findExecutable("xdg-email");
    if (xdgEmail.isEmpty())
        services.mailComposer = std::make_unique<NullMailComposer>();
    else
        services.mailComposer = std::make_unique<XdgEmailComposer>(xdgEmail);
    const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
    if (xdgOpen.isEmpty())
        services.urlOpener = std::make_unique<NullUrlOpener>();
    else
        services.urlOpener = std::make_unique<DesktopUrlOpener>(xdgOpen);
}

PlatformServices displayServices() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullPlatformServices();
    // The screen Qt works on is the one that $DISPLAY names.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    ScreenCaptureChoice capture = chooseScreenCapture(currentSessionEnvironment());
    if (capture.wayland)
        return {std::move(capture.grabber),
                std::make_unique<XWaylandWindowService>(x11->connection()),
                // The desktop's services are added by the caller.
                nullptr, nullptr, std::move(capture.notice)};
    try {
        return {std::make_unique<X11ScreenGrabber>(x11->connection(), screen),
                std::make_unique<X11WindowService>(x11->connection()), nullptr, nullptr,
                std::string()};
    } catch (const std::exception& error) {
        qCWarning(platformLog) << "No screen grab on this X server:" << error.what();
        return nullPlatformServices();
    }
}

} // namespace

PlatformServices nullPlatformServices() {
    return {std::make_unique<NullScreenGrabber>(), std::make_unique<NullWindowService>(),
            std::make_unique<NullMailComposer>(), std::make_unique<NullUrlOpener>(), std::string()};
}

PlatformServices choosePlatformServices() {
    PlatformServices services = displayServices();
    addDesktopServices(services);
    return services;
}

std::unique_ptr<TrayIcon> chooseTrayIcon(std::function<QIcon()> picture) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal")
        return std::make_unique<NullTrayIcon>();
    return std::make_unique<SystemTrayIcon>(std::move(picture), "Kadrix");
}

} // namespace kadrix
