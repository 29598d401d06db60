// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/url_opener.h"

#include <QObject>

namespace kadrix {

// Opens pages through the desktop's own opener, xdg-open, started with an
// argument list. xdg-open may wait for the browser it started until that
// ends, so the window is not held up: a failure is reported when xdg-open
// ends.
class DesktopUrlOpener final : public UrlOpener {
public:
    // program: where xdg-open is installed.
    explicit DesktopUrlOpener(QString program) : program_(std::move(program)) {}
    // Ends the xdg-open processes still running, without a report: the
    // window that would show it is going.
    ~DesktopUrlOpener() override;
    DesktopUrlOpener(const DesktopUrlOpener&) = delete;
    DesktopUrlOpener& operator=(const DesktopUrlOpener&) = delete;

    void open(const QUrl& url, FailureReport failed) override;

private:
    QString program_;
    // Parent of the running xdg-open processes, so none outlives the window.
    QObject processes_;
};

} // namespace kadrix
