#pragma once

#include <QUrl>

namespace kadrix {

// Opens a web page or a local document in the program the user chose for it
// (the help page in the browser).
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Whether a program was started for it.
    virtual bool open(const QUrl& url) = 0;
};

} // namespace kadrix
