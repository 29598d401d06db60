// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop/system_tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace kadrix {

namespace {

constexpr int pollInterval = 1000;

} // namespace

SystemTrayIcon::SystemTrayIcon(std::function<QIcon()> picture, const QString& tip, QObject* parent)
    : TrayIcon(parent), picture_(std::move(picture)), tip_(tip) {
    poll_.setInterval(pollInterval);
    connect(&poll_, &QTimer::timeout, this, &SystemTrayIcon::checkAvailability);
}

SystemTrayIcon::~SystemTrayIcon() = default;

QSystemTrayIcon& SystemTrayIcon::icon() {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>(picture_());
        icon_->setToolTip(tip_);
        icon_->setContextMenu(menu_);
        // The right button opens the context menu; the middle one does nothing.
        connect(icon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger ||
                        reason == QSystemTrayIcon::DoubleClick)
                        emit clicked();
                });
        available_ = QSystemTrayIcon::isSystemTrayAvailable();
        poll_.start();
    }
    return *icon_;
}

bool SystemTrayIcon::available() {
    icon();
    return available_;
}

void SystemTrayIcon::add() {
    icon().show();
}

void SystemTrayIcon::remove() {
    if (icon_)
        icon_->hide();
}

void SystemTrayIcon::setMenu(QMenu* menu) {
    menu_ = menu;
    if (icon_)
        icon_->setContextMenu(menu);
}

void SystemTrayIcon::checkAvailability() {
    const bool now = QSystemTrayIcon::isSystemTrayAvailable();
    if (now == available_)
        return;
    available_ = now;
    emit availabilityChanged(now);
}

} // namespace kadrix
