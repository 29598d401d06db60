// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

namespace kadrix::test {

// Another program's windows on the test display, seen through xdotool and
// xwininfo as a user's tools would see them.

// xdotool's answer, or empty when it finds nothing.
QString xdotool(const QStringList& args);
// The first mapped window of a process, or empty.
QString visibleWindowOf(qint64 pid);
// A process's window of the given size, mapped or not, or empty.
QString windowOfSize(qint64 pid, QSize size);
// Where the window stands on the screen and how big it is.
QRect geometryOf(const QString& window);
// Whether the window is mapped and all its ancestors are.
bool isViewable(const QString& window);
// Whether a notification area (an XEmbed tray host) owns the display's tray
// selection at this moment; asked afresh on every call.
bool notificationAreaPresent();
// WM_STATE as the window manager set it: "Normal", "Iconic", or empty.
QString wmStateOf(const QString& window);

} // namespace kadrix::test
