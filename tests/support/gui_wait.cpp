// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/gui_wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace kadrix::test {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

SeenMessageBox answerMessageBox(const std::function<void()>& action, int timeoutMs) {
    SeenMessageBox seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || seen.shown)
            return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    });
    poll.start();
    // Tied to poll, so that it never fires after this function returned.
    QTimer::singleShot(timeoutMs, &poll, [&] { poll.stop(); });
    action();
    if (!seen.shown)
        waitFor([&] { return seen.shown; }, timeoutMs);
    return seen;
}

std::vector<SeenMessageBox> answerEveryMessageBox(const std::function<void()>& action) {
    std::vector<SeenMessageBox> seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("kadrixAnswered").toBool())
            return;
        box->setProperty("kadrixAnswered", true);
        seen.push_back({true, box->windowTitle(), box->text(), box->icon(),
                        static_cast<int>(box->buttons().size())});
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    });
    poll.start();
    action();
    return seen;
}

} // namespace kadrix::test
