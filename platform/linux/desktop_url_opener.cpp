#include "platform/linux/desktop_url_opener.h"

#include <QDesktopServices>

namespace kadrix {

bool DesktopUrlOpener::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace kadrix
