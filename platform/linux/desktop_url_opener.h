#pragma once

#include "platform/url_opener.h"

namespace kadrix {

// Opens pages through the desktop's own opener (xdg-open or its portal).
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace kadrix
