// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/services.h"

#include "platform/linux/desktop/desktop_url_opener.h"
#include "platform/linux/desktop/system_clipboard.h"
#include "platform/linux/desktop/system_tray_icon.h"
#include "platform/linux/desktop/xdg_email_composer.h"
#include "platform/linux/screen_capture_choice.h"
#include "platform/linux/x11_screen_grabber.h"
#include "platform/linux/x11_window_service.h"
#include "platform/linux/xwayland_window_service.h"
#include "platform/media_services.h"
#include "platform/null_services.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <cstdlib>
#include <exception>

namespace kadrix {

namespace {

Q_LOGGING_CATEGORY(platformLog, "kadrix.platform", QtWarningMsg)

// The display's grab and window service; the null ones where the display
// offers none (no X server, or one without the extensions).
void addDisplayServices(Services& services) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    // The screen Qt works on is the one that $DISPLAY names.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    ScreenCaptureChoice capture = chooseScreenCapture(currentSessionEnvironment());
    if (capture.wayland) {
        services.grabber = std::move(capture.grabber);
        services.windows = std::make_unique<XWaylandWindowService>(x11->connection());
        services.notice = std::move(capture.notice);
        return;
    }
    try {
        auto grabber = std::make_unique<X11ScreenGrabber>(x11->connection(), screen);
        services.windows = std::make_unique<X11WindowService>(x11->connection());
        services.grabber = std::move(grabber);
    } catch (const std::exception& error) {
        qCWarning(platformLog) << "No screen grab on this X server:" << error.what();
    }
}

// The desktop's mail composer and page opener where xdg-utils are installed.
void addDesktopServices(Services& services) {
    const QString xdgEmail = QStandardPaths::findExecutable("xdg-email");
    if (!xdgEmail.isEmpty())
        services.mail = std::make_unique<XdgEmailComposer>(xdgEmail);
    const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
    if (!xdgOpen.isEmpty())
        services.urls = std::make_unique<DesktopUrlOpener>(xdgOpen);
}

} // namespace

Services nullServices() {
    Services services;
    services.grabber = std::make_unique<NullScreenGrabber>();
    services.windows = std::make_unique<NullWindowService>();
    services.tray = std::make_unique<NullTrayIcon>();
    services.recorder = std::make_unique<NullSoundRecorder>();
    services.soundPlayer = std::make_unique<NullSoundPlayer>();
    services.clipPlayers = [] {
        return std::make_unique<NullClipPlayer>();
    };
    services.clipEncoders = createClipEncoder;
    services.mail = std::make_unique<NullMailComposer>();
    services.urls = std::make_unique<NullUrlOpener>();
    services.clipboard = std::make_unique<NullClipboard>();
    return services;
}

Services chooseServices(std::function<QIcon()> trayPicture) {
    Services services = nullServices();
    addDisplayServices(services);
    addDesktopServices(services);
    // Media: Qt Multimedia from its module, loaded when first used.
    services.recorder = createSoundRecorder();
    services.soundPlayer = createSoundPlayer();
    services.clipPlayers = createClipPlayer;
    services.clipboard = std::make_unique<SystemClipboard>();
    // A display that can have no notification area (offscreen, minimal)
    // keeps the null icon, and with it the window shown.
    const QString platform = QGuiApplication::platformName();
    if (trayPicture && platform != "offscreen" && platform != "minimal")
        services.tray = std::make_unique<SystemTrayIcon>(std::move(trayPicture), "Kadrix");
    return services;
}

} // namespace kadrix
