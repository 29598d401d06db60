#include "platform/linux/system_tray_icon.h"

namespace kadrix {

namespace {

constexpr int pollInterval = 1000;

} // namespace

SystemTrayIcon::SystemTrayIcon(const QIcon& icon, const QString& tip, QObject* parent)
    : TrayIcon(parent), icon_(icon), available_(QSystemTrayIcon::isSystemTrayAvailable()) {
    icon_.setToolTip(tip);
    // The right button opens the context menu; the middle button does nothing.
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    emit clicked();
            });
    poll_.setInterval(pollInterval);
    connect(&poll_, &QTimer::timeout, this, &SystemTrayIcon::checkAvailability);
    poll_.start();
}

void SystemTrayIcon::checkAvailability() {
    const bool now = QSystemTrayIcon::isSystemTrayAvailable();
    if (now == available_)
        return;
    available_ = now;
    emit availabilityChanged(now);
}

} // namespace kadrix
