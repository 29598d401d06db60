// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mail_composer.h"

#include <QObject>

namespace kadrix {

// Hands the message to the desktop's mail program through xdg-email, started
// with an argument list (no shell sees the file's name). xdg-email may wait
// for a mail program it started until that program ends, so the window is
// not held up: a failure is reported when xdg-email ends.
class XdgEmailComposer final : public MailComposer {
public:
    // program: where xdg-email is installed.
    explicit XdgEmailComposer(QString program) : program_(std::move(program)) {}

    void compose(const MailMessage& message, FailureReport failed) override;

    // The arguments xdg-email gets for message.
    static QStringList argumentsFor(const MailMessage& message);

private:
    QString program_;
    // Parent of the running xdg-email processes, so none outlives the window.
    QObject processes_;
};

} // namespace kadrix
