// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a Russian desktop user sees it: every caption fits its
// control in the window font, Qt's own buttons speak Russian, and the
// program's icon comes from the share folder beside its executable.
#include "app/application_icon.h"
#include "app/kadrix_application.h"
#include "app/main_window.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "ui/colors.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::TempDir;

// The width a control's caption needs and the width it has, by the size
// hint; push and tool buttons by the rectangle the style draws their caption
// in, since their size hints add the style's preferences (at least 80 pixels
// for a push button, a generous padding for a tool button), not the caption.
struct Room {
    int needed;
    int available;
};

Room roomFor(QWidget* control) {
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        return {button->fontMetrics().horizontalAdvance(button->text()) + icon, contents.width()};
    }
    if (auto* button = qobject_cast<QToolButton*>(control)) {
        QStyleOptionToolButton option;
        option.initFrom(button);
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        return {button->fontMetrics().horizontalAdvance(button->text()),
                button->width() - 2 * frame};
    }
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return {group->fontMetrics().horizontalAdvance(group->title()) + 12, group->width()};
    return {control->sizeHint().width(), control->width()};
}

QString caption(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    return {};
}

class DesktopLookTest : public ::testing::Test {
protected:
    test::LockFolders lock_;
};

TEST_F(DesktopLookTest, EveryCaptionFitsItsControlInLiberationSans) {
    const QFontInfo font(QApplication::font());
    ASSERT_EQ(font.family(), "Liberation Sans") << "install fonts-liberation";
    EXPECT_EQ(font.pixelSize(), 11);

    TMain window(test::testServices(), lock_.folders());
    window.show();
    int checked = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString text = caption(control);
        if (text.isEmpty())
            continue;
        const Room room = roomFor(control);
        EXPECT_LE(room.needed, room.available)
            << control->objectName().toStdString() << " \"" << text.toStdString() << "\"";
        EXPECT_LE(control->fontMetrics().height(), control->height())
            << control->objectName().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 15) << "the window's captions were not found";
}

// The mode buttons keep their colours, and each shows its indicator: white
// inside, with a dark dot on the chosen mode only. The style's own indicator
// took the button's colour inside and could not be seen on navy or teal.
TEST_F(DesktopLookTest, EveryModeButtonShowsItsIndicatorOnItsOwnColour) {
    TMain window(test::testServices(), lock_.folders());
    window.show();
    const std::pair<const char*, QColor> modes[] = {{"RadioButton1", colors::green},
                                                    {"RadioButton2", colors::olive},
                                                    {"RadioButton3", colors::navy},
                                                    {"RadioButton4", colors::teal}};
    for (const auto& [name, color] : modes) {
        auto* button = window.findChild<QRadioButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        const QImage picture = button->grab().toImage();
        EXPECT_EQ(picture.pixelColor(picture.width() - 2, picture.height() / 2), color) << name;
        int white = 0, dark = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < 14; ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                white += pixel.lightness() > 240;
                dark += pixel.lightness() < 40;
            }
        EXPECT_GE(white, 30) << name << ": no indicator to be seen";
        EXPECT_EQ(dark > 4, button->isChecked()) << name << ": " << dark << " dark pixels";
    }
    // A click anywhere on a button's colour chooses its mode, past the end of
    // its caption too.
    for (const auto& [name, color] : modes) {
        auto* button = window.findChild<QRadioButton*>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, {button->width() - 2, button->height() / 2});
        EXPECT_TRUE(button->isChecked()) << name;
    }
}

TEST(DesktopLook, QtsOwnButtonsAreRussian) {
    QMessageBox box(QMessageBox::Question, "Kadrix", "?", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Да");
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "Нет");
}

TEST(DesktopLook, IconComesInEverySizeFromTheShareFolder) {
    const QIcon built = applicationIcon(KADRIX_BINARY_DIR "/share");
    QList<int> sides;
    for (const QSize& size : built.availableSizes())
        sides << size.width();
    EXPECT_EQ(sides, (QList<int>{16, 32, 48, 64, 128, 256}));
    EXPECT_EQ(built.pixmap(256).toImage().pixelColor(128, 128).alpha(), 255);

    // Without installed sizes: the window's own 32 x 32 icon.
    const TempDir empty;
    const QIcon fallback = applicationIcon(QString::fromStdString(empty.str()));
    EXPECT_EQ(fallback.availableSizes(), QList<QSize>{QSize(32, 32)});
}

} // namespace
} // namespace kadrix
