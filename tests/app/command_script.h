// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QDialog;

namespace kadrix::test {

// Plays the user's part in the modal windows that a command opens: the name
// dialog and the message boxes, one step after another as each comes up.
class CommandScript {
public:
    // In the name dialog: notes the name it proposes, types name (unless
    // none is given) and clicks the tick.
    CommandScript& nameDialog(std::optional<QString> name, QString* proposed = nullptr);
    // In the name dialog: presses Escape and Enter, notes whether it stayed
    // open, then clicks the cross.
    CommandScript& cancelNameDialog(bool* stayedOpenOnKeys = nullptr);
    // Answers the next message box with button, noting its text.
    CommandScript& answer(QMessageBox::StandardButton button);

    // Runs command, playing the steps not played yet; a step whose window
    // never came fails the test.
    void run(const std::function<void()>& command);

    // The texts of the message boxes answered so far.
    const QStringList& boxes() const { return boxes_; }
    // The name dialog, once a step has met it.
    QDialog* dialog() const { return dialog_; }

private:
    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
    QStringList boxes_;
    QDialog* dialog_ = nullptr;
};

} // namespace kadrix::test
