#pragma once

#include "platform/tray_icon.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace kadrix {

// The icon through QSystemTrayIcon: StatusNotifierItem over D-Bus where the
// session has a StatusNotifierWatcher (KDE, GNOME with the AppIndicator
// extension), the XEmbed tray protocol otherwise.
class SystemTrayIcon final : public TrayIcon {
public:
    SystemTrayIcon(const QIcon& icon, const QString& tip, QObject* parent = nullptr);

    bool available() const override { return available_; }
    void add() override { icon_.show(); }
    void remove() override { icon_.hide(); }
    void setMenu(QMenu* menu) override { icon_.setContextMenu(menu); }

private:
    void checkAvailability();

    QSystemTrayIcon icon_;
    // Qt tells nobody when a notification area comes or goes, so it is asked
    // now and then; the answer is cheap (a cached window on X11).
    QTimer poll_;
    bool available_ = false;
};

} // namespace kadrix
