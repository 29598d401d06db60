// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QMessageBox;

namespace kadrix::test {

// Processes events until the condition holds or the time is up; returns
// whether it held. Tests wait for conditions, never for fixed times.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

// What a message box that a handler opened said; the box is closed with OK.
struct SeenMessageBox {
    bool shown = false;
    QString title;
    QString text;
    int icon = 0; // QMessageBox::Icon
    int buttons = 0;
};

// Runs action and answers the first modal message box it opens.
SeenMessageBox answerMessageBox(const std::function<void()>& action, int timeoutMs = 10000);

// Runs action and answers every modal message box it opens, in order.
std::vector<SeenMessageBox> answerEveryMessageBox(const std::function<void()>& action);

} // namespace kadrix::test
