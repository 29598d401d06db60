// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QMenu;

namespace kadrix {

// The program's icon in the desktop's notification area. The desktop may
// have no notification area, or gain or lose one while the program runs; the
// icon says which, so that the window is never hidden where nothing could
// bring it back.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a notification area can show the icon at this moment.
    virtual bool available() = 0;
    // Asks for the icon to be shown; asking again changes nothing. Where no
    // notification area exists yet, the icon shows once one appears.
    virtual void add() = 0;
    virtual void remove() = 0;
    // The menu that a right click on the icon opens at the pointer.
    virtual void setMenu(QMenu* menu) = 0;

signals:
    // A left click or a double click on the icon.
    void clicked();
    // The notification area appeared or went away.
    void availabilityChanged(bool available);
};

// Where the display has no notification area at all: never available, so the
// window stays on the screen or in the taskbar.
class NullTrayIcon final : public TrayIcon {
public:
    using TrayIcon::TrayIcon;

    bool available() override { return false; }
    void add() override {}
    void remove() override {}
    void setMenu(QMenu*) override {}
};

} // namespace kadrix
