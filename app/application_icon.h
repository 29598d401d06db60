#pragma once

#include <QIcon>
#include <QString>

namespace kadrix {

// The program's icon in every size of the hicolor theme found under
// shareFolder (<prefix>/share, the build tree's share/ alike); the window's
// built-in icon where none is there.
QIcon applicationIcon(const QString& shareFolder);

// <prefix>/share for the running executable in <prefix>/bin.
QString installedShareFolder();

} // namespace kadrix
