// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window for a window benchmark, as a user has it.
#pragma once

#include "app/main_window.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace bench {

// A control of the window by name; the benchmark stops where there is none.
template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs);

// The window with the composition root's services in the working folder
// `folder`, shown, the mode of `modeButton` chosen and the capture frame on,
// at the top left at `size` ("WxH") or maximised ("max"), once the window
// manager has placed it. Null where the window was never exposed.
std::unique_ptr<kadrix::TMain> openCaptureFrame(const char* folder, const char* modeButton,
                                                const QString& size);

} // namespace bench
