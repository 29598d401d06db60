// SPDX-License-Identifier: GPL-3.0-or-later
// The window's life beside a notification area, and without one, with a
// notification area that the test controls.
#include "app/main_window.h"
#include "tests/support/fake_tray_icon.h"
#include "tests/support/find_control.h"
#include "tests/support/lock_folders.h"
#include "tests/support/test_services.h"

#include <QAction>
#include <QMenu>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::control;
using test::FakeTrayIcon;

class TrayWindowTest : public ::testing::Test {
protected:
    // The window as it first becomes active beside the given notification area.
    void startWith(bool trayAvailable) {
        auto tray = std::make_unique<FakeTrayIcon>(trayAvailable);
        tray_ = tray.get();
        Services services = test::testServices();
        services.tray = std::move(tray);
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        window_->show();
        window_->FormActivate();
    }
    bool lockFileExists() const {
        return std::filesystem::exists(lock_.runtime().path() / "KadrixZap.dat");
    }

    test::LockFolders lock_;
    FakeTrayIcon* tray_ = nullptr;
    std::unique_ptr<TMain> window_;
};

TEST_F(TrayWindowTest, TheWindowLivesInTheIconUntilExit) {
    startWith(true);
    TMain& w = *window_;
    EXPECT_TRUE(tray_->shown());
    EXPECT_FALSE(w.isVisible()) << "the first activation did not hide the window";
    ASSERT_EQ(tray_->menu(), control<QMenu>(w, "PopupMenu1"));
    ASSERT_EQ(tray_->menu()->actions().size(), 1);
    EXPECT_EQ(tray_->menu()->actions().front()->text(), "Выход");

    tray_->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_EQ(w.windowOpacity(), 1.0);
    w.FormActivate();
    EXPECT_TRUE(w.isVisible()) << "only the first activation hides";

    // The close command only hides: the icon and the lock stay.
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(tray_->shown());
    EXPECT_TRUE(w.holdsLock());
    EXPECT_TRUE(lockFileExists());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);

    tray_->menu()->actions().front()->trigger();
    EXPECT_FALSE(tray_->shown());
    EXPECT_FALSE(w.holdsLock());
    EXPECT_FALSE(lockFileExists());
    EXPECT_FALSE(w.isVisible());
}

TEST_F(TrayWindowTest, WithoutANotificationAreaTheWindowIsNeverHidden) {
    startWith(false);
    TMain& w = *window_;
    EXPECT_TRUE(w.isVisible()) << "the window hid with nothing to bring it back";
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint)
        << "the window manager would not minimise the window";

    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isMinimized());
    EXPECT_TRUE(w.holdsLock());

    // A notification area that comes later gets the icon, and brings the
    // window back from where it was minimised.
    tray_->setAvailable(true);
    EXPECT_TRUE(tray_->shown());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    tray_->click();
    EXPECT_FALSE(w.isMinimized());
}

TEST_F(TrayWindowTest, AHiddenWindowComesBackWhenTheNotificationAreaGoes) {
    startWith(true);
    TMain& w = *window_;
    ASSERT_FALSE(w.isVisible());
    tray_->setAvailable(false);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

} // namespace
} // namespace kadrix
