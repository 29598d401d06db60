// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>
#include <functional>

class QWidget;

namespace kadrix {

// The program's icon in every size of the hicolor theme found under
// shareFolder (<prefix>/share, the build tree's share/ alike); the window's
// built-in icon where none is there.
QIcon applicationIcon(const QString& shareFolder);

// <prefix>/share for the running executable in <prefix>/bin.
QString installedShareFolder();

// Makes icon() the application's window icon once window, already shown, is
// first exposed: reading the icon's files before then would hold back the
// window's map request, and the window manager takes the icon when it comes.
void setWindowIconWhenExposed(QWidget& window, std::function<QIcon()> icon);

} // namespace kadrix
