// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on a Wayland desktop (headless Sway with XWayland) beside a
// notification area that speaks StatusNotifierItem over D-Bus, as KDE's and
// GNOME's AppIndicator extension do: a watcher on a private session bus. The
// icon registers, its Activate brings the window back, and the menu's "Выход"
// ends the program.
#include "tests/support/gui_wait.h"
#include "tests/support/program_copy.h"
#include "tests/support/x11_windows.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::isViewable;
using test::waitFor;
using test::windowOfSize;

const QSize mainWindowSize(556, 390);
const QString watcherScript = KADRIX_SOURCE_DIR "/tests/app/status_notifier_watcher.py";

class WaylandTray : public ::testing::Test {
protected:
    void SetUp() override {
        bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(waitFor([&] { return bus_.canReadLine(); }, 20000)) << "no session bus";
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        environment_.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        // The program chooses its platform itself, as from a desktop's menu.
        environment_.remove("QT_QPA_PLATFORM");

        watcher_.setProcessEnvironment(environment_);
        watcher_.start("/usr/bin/python3", {watcherScript, "watch"});
        ASSERT_TRUE(waitFor([&] { return said(watcher_, "watching"); }, 20000))
            << watcher_.readAllStandardError().toStdString();
    }
    void TearDown() override {
        program_.endAll();
        for (QProcess* process : {&watcher_, &bus_}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Whether a process has printed a line starting with text; the line's
    // words are kept.
    bool said(QProcess& process, const QString& text) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (line.startsWith(text)) {
                words_ = line.split(' ');
                return true;
            }
        }
        return false;
    }

    // Runs the watcher script's hand on the item.
    void tellItem(const QStringList& arguments) {
        QProcess hand;
        hand.setProcessEnvironment(environment_);
        hand.start("/usr/bin/python3", QStringList{watcherScript} + arguments);
        ASSERT_TRUE(hand.waitForFinished(20000));
        ASSERT_EQ(hand.exitCode(), 0) << hand.readAllStandardError().toStdString();
    }

    test::ProgramCopy program_{"kadrix-wayland-tray"};
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
    QProcess bus_;
    QProcess watcher_;
    QString address_;
    QStringList words_;
};

TEST_F(WaylandTray, TheItemRegistersActivateBringsTheWindowBackAndExitEnds) {
    // The session's runtime folder, where its Wayland socket lies.
    QProcess& kadrix =
        program_.start(environment_, environment_.value("XDG_RUNTIME_DIR").toStdString());
    ASSERT_TRUE(waitFor([&] { return said(watcher_, "registered"); }, 20000))
        << "the icon did not register with the watcher: "
        << kadrix.readAllStandardError().toStdString()
        << watcher_.readAllStandardError().toStdString();
    ASSERT_EQ(words_.size(), 3);
    const QString service = words_[1];
    const QString path = words_[2];

    QString window;
    ASSERT_TRUE(waitFor([&] {
        window = windowOfSize(kadrix.processId(), mainWindowSize);
        return !window.isEmpty() && !isViewable(window);
    })) << "the window did not hide into the icon";
    // The screen can be grabbed here: no word about it at start.
    EXPECT_FALSE(QString::fromUtf8(kadrix.readAllStandardError()).contains("Wayland"));

    tellItem({"activate", service, path});
    EXPECT_TRUE(waitFor([&] { return isViewable(window); })) << "Activate did not show it";

    tellItem({"click", service, path, "Выход"});
    ASSERT_TRUE(kadrix.waitForFinished(20000)) << "\"Выход\" did not end the program";
    EXPECT_EQ(kadrix.exitStatus(), QProcess::NormalExit)
        << kadrix.readAllStandardError().toStdString();
    EXPECT_EQ(kadrix.exitCode(), 0);
}

} // namespace
} // namespace kadrix
