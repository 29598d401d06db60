// Errors that escape event handlers reach the error report, and the program
// goes on.
#include "app/error_report.h"
#include "core/error.h"
#include "tests/support/gui_wait.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(ErrorReport, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
    QPushButton failing("fails");
    int clicks = 0;
    QObject::connect(&failing, &QPushButton::clicked, [&] {
        ++clicks;
        if (clicks == 1)
            throw Error("Cannot create file \"/ro/Pic000001.bmp\". Permission denied");
    });
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
