// SPDX-License-Identifier: GPL-3.0-or-later
// The window's life in the notification area: the icon, the close command
// that hides instead of closing, the way back, and a second copy's request to
// show the window.
#include "app/main_window.h"

#include "platform/tray_icon.h"
#include "ui/error_report.h"
#include "ui/handler.h"

#include <QCloseEvent>
#include <QSocketNotifier>
#include <QtGlobal>

namespace kadrix {

namespace {

// How long a second copy waits for the running copy's window before it says
// that the program runs; a copy that hangs does not hang the next one.
constexpr int showRequestTimeout = 2000;

} // namespace

void TMain::connectTrayIcon() {
    services_.tray->setMenu(PopupMenu1);
    connectHandler(services_.tray.get(), &TrayIcon::clicked, this, &TMain::TrayIconClick);
    connect(services_.tray.get(), &TrayIcon::availabilityChanged, this, [this](bool available) {
        runHandler([=, this] { TrayAvailabilityChange(available); });
    });
}

void TMain::Ic(IconAction action) {
    if (action == IconAction::Add)
        services_.tray->add();
    else
        services_.tray->remove();
}

void TMain::hideIntoTray(bool minimiseWithoutTray) {
    Ic(IconAction::Add);
    // The minimise box comes and goes with the notification area; asked here,
    // once the window has shown, not while the program starts.
    setBorderIcons(systemMenu_, maximiseBox_);
    if (services_.tray->available())
        hide();
    else if (minimiseWithoutTray)
        showMinimized();
}

void TMain::closeEvent(QCloseEvent* event) {
    if (exiting_) {
        QWidget::closeEvent(event);
        return;
    }
    // Neither the lock nor a recording is touched: the window only goes.
    event->ignore();
    hideIntoTray(true);
}

void TMain::TrayIconClick() {
    // Shown now, the window would be in the frames of a recording of the
    // whole screen: it comes back when the recording ends.
    if (hiddenForRecording_) {
        showAfterRecording_ = true;
        return;
    }
    setWindowOpacity(1.0);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMain::TrayAvailabilityChange(bool available) {
    setBorderIcons(systemMenu_, maximiseBox_);
    if (available) {
        // A notification area that comes late (a panel started after the
        // program, or restarted) gets the icon.
        if (!firstShow_)
            Ic(IconAction::Add);
        return;
    }
    // The icon went with the notification area: nothing could bring a hidden
    // window back, so it comes back now.
    if (isHidden() && !firstShow_ && !hiddenForRecording_)
        TrayIconClick();
}

void TMain::listenForShowRequests(const QString& runtimeDir) {
    if (runtimeDir.isEmpty())
        return;
    showRequestPath_ = showRequestSocketPath(runtimeDir.toStdString());
    if (!lock_.held())
        return;
    try {
        showRequests_ = ShowRequestListener::listen(showRequestPath_);
    } catch (const std::exception& error) {
        // The program runs on; a second copy then only says that it runs.
        qWarning("%s", error.what());
        return;
    }
    showRequestNotifier_ = new QSocketNotifier(showRequests_.fd(), QSocketNotifier::Read, this);
    connect(showRequestNotifier_, &QSocketNotifier::activated, this, [this] {
        const std::vector<UniqueFd> requests = showRequests_.takeRequests();
        if (!requests.empty())
            runHandler([this] { TrayIconClick(); });
    });
}

void TMain::reportAlreadyRunning() {
    if (!showRequestPath_.empty())
        sendShowRequest(showRequestPath_, showRequestTimeout);
    showMessage("Программа уже запущена!");
}

} // namespace kadrix
