// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tray_icon.h"

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace kadrix {

// The icon through QSystemTrayIcon: StatusNotifierItem over D-Bus where the
// session has a StatusNotifierWatcher (KDE, GNOME with the AppIndicator
// extension), the XEmbed tray protocol otherwise.
class SystemTrayIcon final : public TrayIcon {
public:
    // The picture is asked for when the icon is first made: reading the
    // icon's files costs the program's start some milliseconds.
    SystemTrayIcon(std::function<QIcon()> picture, const QString& tip, QObject* parent = nullptr);
    ~SystemTrayIcon() override;

    bool available() override;
    void add() override;
    void remove() override;
    void setMenu(QMenu* menu) override;

private:
    // Qt asks the session bus for a StatusNotifierWatcher when its tray icon
    // is made: that waits until the window has first shown, not before.
    QSystemTrayIcon& icon();
    void checkAvailability();

    std::function<QIcon()> picture_;
    QString tip_;
    QPointer<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    // Qt tells nobody when a notification area comes or goes, so it is asked
    // now and then; the answer is cheap (a cached window on X11).
    QTimer poll_;
    bool available_ = false;
};

} // namespace kadrix
