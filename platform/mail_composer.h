// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace kadrix {

// A new message for the user to complete and send in their mail program.
struct MailMessage {
    QString recipient;
    QString subject;
    QString body;
    QString attachment; // a file's path
};

// The desktop's mail composer. The program sends nothing itself: the
// composer shows the message and the user takes it from there.
class MailComposer {
public:
    // Called with a text for the user when the composer could not take the
    // message; this may come after compose() has returned.
    using FailureReport = std::function<void(const QString& reason)>;

    virtual ~MailComposer() = default;
    virtual void compose(const MailMessage& message, FailureReport failed) = 0;
};

// What the user reads when the desktop has no tool to hand a message over.
inline QString noMailHandOffText() {
    return "Нельзя передать файл почтовой программе: не установлена программа xdg-email "
           "(пакет xdg-utils)";
}

} // namespace kadrix
