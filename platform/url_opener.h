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

// Where the desktop offers no way to open a page.
class NullUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

} // namespace kadrix
