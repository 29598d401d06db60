// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace kadrix {

// Runs an event handler: an error it raises is shown in the error report and
// the program goes on with the next event. The error never unwinds through
// Qt's own code.
void runHandler(const std::function<void()>& handler);

// Runs an event handler whose window reports its errors itself: report is
// given the error's text.
void runHandler(const std::function<void()>& handler,
                const std::function<void(const QString&)>& report);

// Connects a signal to a handler method of a window through runHandler.
template <typename Sender, typename Signal, typename Window>
void connectHandler(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window, [window, handler] {
        runHandler([window, handler] { (window->*handler)(); });
    });
}

} // namespace kadrix
