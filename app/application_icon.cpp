#include "app/application_icon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kadrix {

QIcon applicationIcon(const QString& shareFolder) {
    // Looked up by path, not through the icon theme, so that a copy
    // installed under any prefix shows its own icon.
    const QDir hicolor(shareFolder + "/icons/hicolor");
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString path =
            hicolor.filePath(QString("%1x%1/apps/%2.png").arg(size).arg(KADRIX_APP_ID));
        if (QFileInfo::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    if (icon.isNull())
        icon.addFile(":/kadrix/kadrix.png");
    return icon;
}

QString installedShareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share");
}

} // namespace kadrix
