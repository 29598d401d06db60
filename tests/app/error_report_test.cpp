// SPDX-License-Identifier: GPL-3.0-or-later
// Errors that escape event handlers reach the error report, and the program
// goes on.
#include "core/error.h"
#include "tests/support/gui_wait.h"
#include "ui/error_report.h"
#include "ui/handler.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

// A window whose handler fails at its first call.
class FailingWindow : public QPushButton {
public:
    FailingWindow() : QPushButton("fails") {
        connectHandler(this, &QPushButton::clicked, this, &FailingWindow::Click);
    }
    void Click() {
        ++clicks;
        if (clicks == 1)
            throw Error("Cannot create file \"/ro/Pic000001.bmp\". Permission denied");
    }
    int clicks = 0;
};

TEST(ErrorReport, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
    FailingWindow failing;
    int& clicks = failing.clicks;
    failing.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&failing));

    const test::SeenMessageBox box =
        test::answerMessageBox([&] { QTest::mouseClick(&failing, Qt::LeftButton); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, "Cannot create file \"/ro/Pic000001.bmp\". Permission denied.");
    EXPECT_EQ(box.title, "Kadrix");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, 1);

    QTest::mouseClick(&failing, Qt::LeftButton);
    EXPECT_EQ(clicks, 2) << "events after the error are still handled";
}

TEST(ErrorReport, AMessageIsPlain) {
    const test::SeenMessageBox box =
        test::answerMessageBox([] { showMessage("Устройство не готово!"); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, "Устройство не готово!");
    EXPECT_EQ(box.title, "Kadrix");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
}

} // namespace
} // namespace kadrix
