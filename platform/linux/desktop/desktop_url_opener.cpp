// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop/desktop_url_opener.h"

#include <QProcess>

namespace kadrix {

namespace {

// xdg-open's exit codes, in the user's words.
QString failureText(const QUrl& url, int exitCode) {
    const QString lead =
        "Нельзя открыть страницу <" + url.toDisplayString(QUrl::PreferLocalFile) + ">: ";
    switch (exitCode) {
    case 2:
        return lead + "файл не найден";
    case 3:
        return lead + "не найдена программа, которая её откроет (в системе не выбран браузер)";
    default:
        return lead + "браузер её не открыл (xdg-open, код " + QString::number(exitCode) + ")";
    }
}

} // namespace

DesktopUrlOpener::~DesktopUrlOpener() {
    // A process still running is killed as its parent goes, and says it
    // crashed; no one is left to tell.
    for (QProcess* process : processes_.findChildren<QProcess*>())
        process->disconnect();
}

void DesktopUrlOpener::open(const QUrl& url, FailureReport failed) {
    auto* process = new QProcess(&processes_);
    // Not read: a browser that xdg-open leaves running keeps these, and would
    // be cut off when the pipes closed.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed, url](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         failed(noPageOpenerText(url));
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed, url](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status == QProcess::CrashExit)
                             failed(failureText(url, -1));
                         else if (exitCode != 0)
                             failed(failureText(url, exitCode));
                     });
    process->start(program_, {url.toString(QUrl::FullyEncoded)});
}

} // namespace kadrix
