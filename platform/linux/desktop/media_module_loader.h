// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace kadrix {

// Where the media module is looked for, in order: installed beside the
// program (<prefix>/lib/kadrix, the program in <prefix>/bin; in the build
// tree the same), then where the build put it, for the tests' programs.
QStringList mediaModuleCandidates(const QString& applicationDir);

// The file of the media module in use, loading it on first call; empty when
// none could be loaded, and then the media services are the null ones.
QString loadedMediaModule();

} // namespace kadrix
