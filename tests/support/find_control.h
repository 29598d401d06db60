// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace kadrix::test {

// A window's control found by its object name, as the window's own code names
// it ("BitBtn1", "Timer3"); tests reach controls this way, never through the
// window's members. Throws when the window has no such control, so that a
// renamed control fails the test that used it instead of crashing it.
template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::logic_error(std::string("no control named ") + name);
    return found;
}

} // namespace kadrix::test
