// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace kadrix {

// Opens a web page or a local document in the program the user chose for it
// (the help page in the browser).
class UrlOpener {
public:
    // Called with a text for the user when the page could not be opened;
    // this may come after open() has returned.
    using FailureReport = std::function<void(const QString& reason)>;

    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url, FailureReport failed) = 0;
};

// What the user reads when the desktop has no tool to open a page.
inline QString noPageOpenerText(const QUrl& url) {
    return "Нельзя открыть страницу <" + url.toDisplayString(QUrl::PreferLocalFile) +
           ">: не установлена программа xdg-open (пакет xdg-utils)";
}

} // namespace kadrix
