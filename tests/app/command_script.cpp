// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/command_script.h"

#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kadrix::test {

namespace {

QDialog* openNameDialog() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    return dialog && dialog->objectName() == "RenameFileX" && dialog->isVisible() ? dialog
                                                                                  : nullptr;
}

// A click that opens a modal window of its own is made from the event loop,
// so that the script goes on playing while that window is up.
void clickLater(QPushButton* button) {
    QTimer::singleShot(0, button, &QPushButton::click);
}

} // namespace

CommandScript& CommandScript::nameDialog(std::optional<QString> name, QString* proposed) {
    steps_.push_back([this, name, proposed] {
        QDialog* dialog = openNameDialog();
        if (!dialog)
            return false;
        dialog_ = dialog;
        auto* edit = control<QLineEdit>(*dialog, "Edit1");
        if (proposed)
            *proposed = edit->text();
        if (name)
            edit->setText(*name);
        clickLater(control<QPushButton>(*dialog, "BitBtn1"));
        return true;
    });
    return *this;
}

CommandScript& CommandScript::cancelNameDialog(bool* stayedOpenOnKeys) {
    steps_.push_back([this, stayedOpenOnKeys] {
        QDialog* dialog = openNameDialog();
        if (!dialog)
            return false;
        dialog_ = dialog;
        auto* edit = control<QLineEdit>(*dialog, "Edit1");
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClick(edit, Qt::Key_Return);
        if (stayedOpenOnKeys)
            *stayedOpenOnKeys = dialog->isVisible();
        clickLater(control<QPushButton>(*dialog, "BitBtn2"));
        return true;
    });
    return *this;
}

CommandScript& CommandScript::answer(QMessageBox::StandardButton button) {
    steps_.push_back([this, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return false;
        boxes_ << box->text();
        QAbstractButton* answer = box->button(button);
        EXPECT_NE(answer, nullptr) << box->text().toStdString();
        answer ? answer->click() : box->reject();
        return true;
    });
    return *this;
}

void CommandScript::run(const std::function<void()>& command) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [this] {
        if (next_ < steps_.size() && steps_[next_]())
            ++next_;
    });
    poll.start();
    command();
    EXPECT_TRUE(waitFor([this] { return next_ == steps_.size(); }))
        << "step " << next_ + 1 << " of " << steps_.size() << " never came";
    // What the last step started finishes before the test looks.
    waitFor([] { return QApplication::activeModalWidget() == nullptr; }, 2000);
}

} // namespace kadrix::test
