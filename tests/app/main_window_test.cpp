// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as it starts: controls, places, states, lock and names.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "browser/file_list_box.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/test_services.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    test::LockFolders lock_;
};

TEST_F(MainWindowTest, ControlsStandAtTheirPlacesInTheirStartState) {
    TMain window(test::testServices(), lock_.folders());
    struct Place {
        const char* name;
        QRect rect;
        bool visible;
    };
    const Place places[] = {
        {"GroupBox1", {483, 7, 65, 94}, true},
        {"BitBtn1", {5, 12, 49, 25}, true},
        {"SpinEdit1", {6, 39, 35, 22}, true},
        {"BitBtn2", {5, 64, 52, 25}, true},
        {"Image2", {8, 13, 478, 85}, true},
        {"GroupBox2", {8, 97, 345, 41}, true},
        {"Edit1", {4, 16, 336, 21}, true},
        {"DriveComboBox1", {8, 144, 209, 19}, true},
        {"DirectoryListBox1", {8, 167, 209, 214}, true},
        {"FileListBox1", {218, 186, 135, 166}, true},
        {"GroupBox4", {219, 139, 132, 46}, true},
        {"RadioButton1", {3, 7, 42, 17}, true},
        {"RadioButton2", {45, 8, 42, 17}, true},
        {"RadioButton3", {87, 8, 42, 17}, true},
        {"RadioButton4", {45, 25, 42, 18}, true},
        {"BitBtn3", {219, 355, 134, 26}, true},
        {"Image1", {357, 105, 195, 193}, true},
        {"Panel2", {358, 106, 193, 193}, false},
        {"MediaPlayer1", {358, 300, 169, 20}, false},
        {"Panel3", {357, 299, 194, 20}, false},
        {"GroupBox3", {356, 321, 195, 60}, true},
        {"ProgressBar1", {0, 1, 150, 11}, false},
        {"Panel4", {358, 283, 193, 20}, false},
    };
    window.show();
    for (const Place& place : places) {
        auto* control = window.findChild<QWidget*>(place.name);
        ASSERT_NE(control, nullptr) << place.name;
        EXPECT_EQ(control->geometry(), place.rect) << place.name;
        EXPECT_EQ(control->isVisible(), place.visible) << place.name;
    }
    EXPECT_EQ(test::control<QFrame>(window, "Panel1")->geometry(), QRect(0, 0, 556, 390));
}

TEST_F(MainWindowTest, StartsInTheOptionsLayoutWithFixedSize) {
    TMain window(test::testServices(), lock_.folders());
    window.show();
    EXPECT_EQ(window.windowTitle(), "Kadrix");
    EXPECT_EQ(window.size(), QSize(556, 390));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the options layout is resizable";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(test::control<QPushButton>(window, "BitBtn2")->text(), "Готов");
    EXPECT_FALSE(window.inCaptureFrame());
    EXPECT_FALSE(test::control<QPushButton>(window, "BitBtn1")->isEnabled());
    EXPECT_EQ(test::control<QPushButton>(window, "BitBtn1")->text(), "снимок");
    EXPECT_FALSE(test::control<QSpinBox>(window, "SpinEdit1")->isEnabled());
    EXPECT_EQ(test::control<QSpinBox>(window, "SpinEdit1")->minimum(), 2);
    EXPECT_EQ(test::control<QSpinBox>(window, "SpinEdit1")->maximum(), 30);
    EXPECT_EQ(test::control<QSpinBox>(window, "SpinEdit1")->value(), 2);
    EXPECT_TRUE(test::control<QRadioButton>(window, "RadioButton1")->isChecked());
    EXPECT_TRUE(test::control<QLineEdit>(window, "Edit1")->isReadOnly());
    EXPECT_EQ(test::control<QGroupBox>(window, "GroupBox2")->title(), "Сохраняется c имени");
    EXPECT_EQ(test::control<QLabel>(window, "Label4")->text(), "сек");
    EXPECT_EQ(test::control<QPushButton>(window, "BitBtn3")->text(), "Удалить все");
    EXPECT_EQ(test::control<QLabel>(window, "Label1")->text(), "Помощь");
    EXPECT_EQ(test::control<QLabel>(window, "Label5")->text(), "создать файл -->");
    EXPECT_EQ(test::control<QLabel>(window, "Panel4")->text(), "Проигрывание звука...");
    EXPECT_EQ(test::control<QToolButton>(window, "SpeedButton2")->toolTip(),
              "Иконка 32х32 с левого верхнего угла");
    // The panels paint their colour; the controls inside keep the plain
    // palette, so that no maroon rim shows around lists and buttons.
    const auto shownAt = [&window](const char* name, QPoint point) {
        return test::control<QFrame>(window, name)->grab().toImage().pixelColor(point);
    };
    EXPECT_EQ(shownAt("Panel1", {355, 150}), QColor(128, 0, 0));
    EXPECT_EQ(shownAt("Panel3", {2, 2}), QColor(0, 128, 0));
    EXPECT_EQ(test::control<QListWidget>(window, "FileListBox1")->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Window));
    EXPECT_EQ(test::control<QLabel>(window, "Panel4")->palette().color(QPalette::Window),
              QColor(0, 0, 128));
    EXPECT_EQ(test::control<QPushButton>(window, "BitBtn1")->cursor().shape(),
              Qt::PointingHandCursor);
}

TEST_F(MainWindowTest, MenusAndTimersAreThere) {
    TMain window(test::testServices(), lock_.folders());
    const std::pair<QMenu*, QStringList> menus[] = {
        {test::control<QMenu>(window, "PopupMenu1"), {"Выход"}},
        {test::control<QMenu>(window, "PopupMenu2"),
         {"Переименовать", "Удалить", "Отправить по почте", "Сохранить как MP4",
          "Сохранить как WebM", "Сохранить как GIF"}},
        {test::control<QMenu>(window, "PopupMenu3"), {"Копировать"}},
        {test::control<QMenu>(window, "PopupMenu4"), {"Создать папку", "Удалить папку"}},
    };
    for (const auto& [menu, captions] : menus) {
        QStringList actual;
        for (const QAction* action : menu->actions())
            actual << action->text();
        EXPECT_EQ(actual, captions) << menu->objectName().toStdString();
    }
    const std::pair<QTimer*, int> timers[] = {{test::control<QTimer>(window, "Timer1"), 200},
                                              {test::control<QTimer>(window, "Timer2"), 10000},
                                              {test::control<QTimer>(window, "Timer3"), 200},
                                              {test::control<QTimer>(window, "Timer4"), 2000}};
    for (const auto& [timer, interval] : timers) {
        EXPECT_EQ(timer->interval(), interval);
        EXPECT_FALSE(timer->isActive());
    }
}

TEST_F(MainWindowTest, StartTakesTheLockAndSetsCountersAndNextName) {
    TMain window(test::testServices(), lock_.folders());
    EXPECT_TRUE(window.holdsLock());
    EXPECT_FALSE(window.alreadyRunning());
    EXPECT_TRUE(std::filesystem::exists(lock_.runtime().path() / "KadrixZap.dat"));
    EXPECT_EQ(window.counters().next(OutputKind::Picture), 1);
    EXPECT_EQ(window.counters().next(OutputKind::Video), 1);
    EXPECT_EQ(window.frameCounter(), 1);
    EXPECT_EQ(window.counters().next(OutputKind::Sound), 1);
    EXPECT_EQ(test::control<QLineEdit>(window, "Edit1")->text(),
              QDir::currentPath() + "/Pic000001.bmp");
}

TEST_F(MainWindowTest, ASecondWindowFindsTheLockHeldAndTheFirstKeepsIt) {
    TMain first(test::testServices(), lock_.folders());
    TMain second(test::testServices(), lock_.folders());
    EXPECT_TRUE(second.alreadyRunning());
    EXPECT_FALSE(second.holdsLock());
    EXPECT_TRUE(first.holdsLock());

    const test::SeenMessageBox box = test::answerMessageBox([&] { second.reportAlreadyRunning(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, "Программа уже запущена!");
    EXPECT_EQ(box.title, "Kadrix");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, 1);
}

TEST_F(MainWindowTest, ExitReleasesAndDeletesTheLockFile) {
    TMain window(test::testServices(), lock_.folders());
    window.show();
    ASSERT_TRUE(std::filesystem::exists(lock_.runtime().path() / "KadrixZap.dat"));
    test::control<QAction>(window, "N1")->trigger();
    EXPECT_FALSE(std::filesystem::exists(lock_.runtime().path() / "KadrixZap.dat"));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, ActivationPutsTheTitleBack) {
    TMain window(test::testServices(), lock_.folders());
    window.setWindowTitle("Pic000001.bmp создан");
    window.FormActivate();
    EXPECT_EQ(window.windowTitle(), "Kadrix");
}

TEST_F(MainWindowTest, EveryControlHasANameForScreenReaders) {
    TMain window(test::testServices(), lock_.folders());
    window.show();
    const char* named[] = {"BitBtn1",      "BitBtn2",        "BitBtn3",           "SpinEdit1",
                           "Edit1",        "DriveComboBox1", "DirectoryListBox1", "FileListBox1",
                           "RadioButton1", "RadioButton2",   "RadioButton3",      "RadioButton4",
                           "Image1",       "Image2",         "SpeedButton1",      "SpeedButton2",
                           "SpeedButton3", "ProgressBar1"};
    for (const char* name : named) {
        auto* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << name;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(test::control<QLineEdit>(window, "Edit1"))
                  ->text(QAccessible::Name),
              "Сохраняется c имени");
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(test::control<QRadioButton>(window, "RadioButton4"))
            ->text(QAccessible::Name),
        "все");
}

} // namespace
} // namespace kadrix
