// SPDX-License-Identifier: GPL-3.0-or-later
// The real program beside a real notification area (trayer, over the XEmbed
// tray protocol) and without one: it hides into the icon, comes back on a
// click, ends through the icon's menu, and is never out of reach.
#include "platform/instance_lock.h"
#include "tests/support/gui_wait.h"
#include "tests/support/program_copy.h"
#include "tests/support/x11_windows.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::geometryOf;
using test::isViewable;
using test::waitFor;
using test::windowOfSize;
using test::xdotool;

const QSize mainWindowSize(556, 390);

class TrayIconTest : public ::testing::Test {
protected:
    void TearDown() override {
        program_.endAll();
        stopTrayHost();
    }

    void startTrayHost() {
        trayHost_.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                                   "--height", "24", "--SetDockType", "true"});
        ASSERT_TRUE(trayHost_.waitForStarted());
        ASSERT_TRUE(waitFor([] { return test::notificationAreaPresent(); }, 20000))
            << "trayer did not take the notification area";
    }
    // Gone once nobody owns the tray selection, so that the next test does
    // not take the old notification area for its own.
    void stopTrayHost() {
        trayHost_.kill();
        trayHost_.waitForFinished();
        ASSERT_TRUE(waitFor([] { return !test::notificationAreaPresent(); }));
    }

    QProcess& start() {
        // No session bus: Qt then speaks the XEmbed tray protocol to trayer,
        // whatever the machine running the tests has.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        return program_.start(environment);
    }

    // The icon's window: the program's small window inside the notification
    // area.
    QString iconWindow() const {
        const QStringList windows =
            xdotool({"search", "--onlyvisible", "--pid", QString::number(kadrix_->processId())})
                .split('\n', Qt::SkipEmptyParts);
        for (const QString& window : windows) {
            if (geometryOf(window).width() <= 64)
                return window;
        }
        return {};
    }
    QString mainWindow() const { return windowOfSize(kadrix_->processId(), mainWindowSize); }

    // Starts the program beside the notification area and waits until it has
    // hidden into its icon.
    void startHidden() {
        startTrayHost();
        kadrix_ = &start();
        ASSERT_TRUE(waitFor([&] { return !iconWindow().isEmpty(); }, 20000))
            << "no icon in the notification area";
        ASSERT_TRUE(waitFor([&] { return !mainWindow().isEmpty() && !isViewable(mainWindow()); }))
            << "the window did not hide";
        ASSERT_TRUE(isFileInUse(program_.lockPath()));
        // trayer lays the icon out after it shows, its panel growing to fit:
        // clicks wait until the icon stays where it is.
        QRect last;
        int steadyLooks = 0;
        ASSERT_TRUE(waitFor([&] {
            const QRect now = geometryOf(iconWindow());
            steadyLooks = now == last && !now.isEmpty() ? steadyLooks + 1 : 0;
            last = now;
            return steadyLooks >= 3;
        })) << "the icon did not settle";
    }
    // Keys as the user types them, to the window in front, which must be
    // this one: the window manager's choice and the keyboard's focus both,
    // for the window manager acts on the window that has the focus.
    static void type(const QString& window, const QString& keys) {
        ASSERT_TRUE(waitFor([&] {
            return xdotool({"getactivewindow"}) == window && xdotool({"getwindowfocus"}) == window;
        })) << "the window is not in front";
        xdotool({"key", keys});
    }
    void click(const QString& window, int button) {
        xdotool({"mousemove", "--window", window, "8", "8", "click", QString::number(button)});
    }

    test::ProgramCopy program_{"kadrix-tray"};
    QProcess* kadrix_ = nullptr;
    QProcess trayHost_;
};

TEST_F(TrayIconTest, TheWindowHidesIntoTheIconAndAClickBringsItBackInPlace) {
    startHidden();
    const QString window = mainWindow();

    click(iconWindow(), 1);
    ASSERT_TRUE(waitFor([&] { return isViewable(window); })) << "a left click did not show it";
    EXPECT_EQ(xdotool({"getactivewindow"}), window);
    const QRect shown = geometryOf(window);
    EXPECT_EQ(shown.size(), mainWindowSize);

    // The close command hides the window again and keeps the icon and the lock.
    type(window, "alt+F4");
    ASSERT_TRUE(waitFor([&] { return !isViewable(window); })) << "Alt+F4 did not hide the window";
    EXPECT_FALSE(iconWindow().isEmpty());
    EXPECT_EQ(kadrix_->state(), QProcess::Running);
    EXPECT_TRUE(isFileInUse(program_.lockPath()));

    click(iconWindow(), 1);
    ASSERT_TRUE(waitFor([&] { return isViewable(window); }));
    EXPECT_EQ(geometryOf(window), shown) << "the window came back elsewhere";
}

TEST_F(TrayIconTest, ExitFromTheIconsMenuEndsTheProgramAndDeletesTheLock) {
    startHidden();
    const QString icon = iconWindow();
    const QStringList before =
        xdotool({"search", "--onlyvisible", "--pid", QString::number(kadrix_->processId())})
            .split('\n', Qt::SkipEmptyParts);
    click(icon, 3);
    QString menu;
    ASSERT_TRUE(waitFor([&] {
        const QStringList now =
            xdotool({"search", "--onlyvisible", "--pid", QString::number(kadrix_->processId())})
                .split('\n', Qt::SkipEmptyParts);
        for (const QString& window : now) {
            if (!before.contains(window))
                menu = window;
        }
        return !menu.isEmpty();
    })) << "a right click opened no menu";
    EXPECT_FALSE(isViewable(mainWindow())) << "the menu brought the window back";

    // The menu's one item, "Выход".
    const QRect item = geometryOf(menu);
    xdotool({"mousemove", QString::number(item.center().x()), QString::number(item.y() + 8),
             "click", "1"});
    ASSERT_TRUE(kadrix_->waitForFinished(20000)) << "choosing the item did not end the program";
    EXPECT_EQ(kadrix_->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kadrix_->exitCode(), 0);
    EXPECT_FALSE(fs::exists(program_.lockPath()));
}

TEST_F(TrayIconTest, WhenTheNotificationAreaGoesTheHiddenWindowComesBack) {
    startHidden();
    const QString window = mainWindow();
    stopTrayHost();
    EXPECT_TRUE(waitFor([&] { return isViewable(window); }))
        << "the window stayed hidden with nothing to bring it back";

    // A notification area that comes back gets the icon again.
    startTrayHost();
    EXPECT_TRUE(waitFor([&] { return !iconWindow().isEmpty(); }, 20000));
    EXPECT_TRUE(isViewable(window));
}

TEST_F(TrayIconTest, ASecondCopyShowsTheHiddenFirstCopysWindow) {
    startHidden();
    const QString window = mainWindow();
    QProcess& second = start();
    EXPECT_TRUE(waitFor([&] { return isViewable(window); }, 20000))
        << "the first copy's window stayed hidden";
    QString box;
    ASSERT_TRUE(waitFor(
        [&] { return !(box = test::visibleWindowOf(second.processId())).isEmpty(); }, 20000));
    // In front of the first copy's window, or the user would not see it.
    type(box, "Return");
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(kadrix_->state(), QProcess::Running);
    EXPECT_TRUE(isFileInUse(program_.lockPath()));
}

TEST_F(TrayIconTest, WithoutANotificationAreaTheWindowStaysAndTheCloseBoxMinimises) {
    kadrix_ = &start();
    QString window;
    ASSERT_TRUE(waitFor(
        [&] {
            window = mainWindow();
            return !window.isEmpty() && isViewable(window) &&
                   xdotool({"getactivewindow"}) == window;
        },
        20000))
        << "the window is not shown and active";
    ASSERT_TRUE(waitFor([&] { return test::wmStateOf(window) == "Normal"; }));

    type(window, "alt+F4");
    EXPECT_TRUE(waitFor([&] { return test::wmStateOf(window) == "Iconic"; }))
        << "the close box did not minimise the window";
    EXPECT_EQ(kadrix_->state(), QProcess::Running);
    EXPECT_TRUE(isFileInUse(program_.lockPath()));

    // A notification area that appears later gets the icon; the window stays
    // where the user left it.
    startTrayHost();
    EXPECT_TRUE(waitFor([&] { return !iconWindow().isEmpty(); }, 20000));
    click(iconWindow(), 1);
    EXPECT_TRUE(waitFor([&] { return isViewable(window) && test::wmStateOf(window) == "Normal"; }))
        << "a click on the late icon did not bring the window back";
}

} // namespace
} // namespace kadrix
