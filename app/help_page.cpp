// SPDX-License-Identifier: GPL-3.0-or-later
// "Помощь": the help page in the user's browser.
#include "app/help_page.h"

#include "app/main_window.h"
#include "platform/url_opener.h"
#include "ui/error_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace kadrix {

QString helpPagePath(const QString& applicationDir) {
    const QString installed = QDir::cleanPath(applicationDir + "/../share/kadrix/help/index.html");
    if (QFileInfo::exists(installed))
        return installed;
    return QStringLiteral(KADRIX_HELP_SOURCE_DIR "/index.html");
}

void TMain::Label1Click() {
    const QString page = helpPagePath(QCoreApplication::applicationDirPath());
    services_.urls->open(QUrl::fromLocalFile(page),
                         [this](const QString& reason) { showErrorReport(reason, this); });
}

} // namespace kadrix
