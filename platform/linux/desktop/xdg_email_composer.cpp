// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop/xdg_email_composer.h"

#include <QProcess>

namespace kadrix {

namespace {

// xdg-email's exit codes, in the user's words.
QString failureText(int exitCode, const MailMessage& message, const QString& errorOutput) {
    const QString lead = "Нельзя передать файл почтовой программе: ";
    switch (exitCode) {
    case 2:
        return lead + "файл <" + message.attachment + "> не найден";
    case 3:
        return lead + "не найдена почтовая программа (в системе не выбрана программа для писем)";
    case 5:
        return lead + "нет доступа к файлу <" + message.attachment + ">";
    default: {
        const QString detail = errorOutput.trimmed().section('\n', -1);
        return lead + "почтовая программа не открылась (xdg-email: " +
               (detail.isEmpty() ? "код " + QString::number(exitCode) : detail) + ")";
    }
    }
}

} // namespace

QStringList XdgEmailComposer::argumentsFor(const MailMessage& message) {
    return {"--subject", message.subject,    "--body",         message.body,
            "--attach",  message.attachment, message.recipient};
}

void XdgEmailComposer::compose(const MailMessage& message, FailureReport failed) {
    auto* process = new QProcess(&processes_);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         failed(noMailHandOffText());
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed, message](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         const QString errorOutput =
                             QString::fromLocal8Bit(process->readAllStandardError());
                         if (status == QProcess::CrashExit)
                             failed(failureText(-1, message, errorOutput));
                         else if (exitCode != 0)
                             failed(failureText(exitCode, message, errorOutput));
                     });
    process->start(program_, argumentsFor(message));
}

} // namespace kadrix
