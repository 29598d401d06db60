// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kadrix {

// The help page: the installed copy (<prefix>/share/kadrix/help/index.html,
// found from the program's folder <prefix>/bin), else the copy in the source
// tree that the program was built from.
QString helpPagePath(const QString& applicationDir);

} // namespace kadrix
