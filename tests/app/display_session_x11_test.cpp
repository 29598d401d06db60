// SPDX-License-Identifier: GPL-3.0-or-later
// The program on the display it finds: a Wayland desktop is used through its
// XWayland server; without any X server the program says so and ends.
#include "platform/display_session.h"
#include "tests/support/gui_wait.h"
#include "tests/support/program_copy.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(DisplayChoice, WaylandRunsOnXWaylandAndNoXServerIsSaid) {
    const struct {
        SessionEnvironment session;
        DisplayChoice choice;
    } cases[] = {
        {{"x11", "", ":0", ""}, DisplayChoice::AsIs},
        {{"", "", ":0", ""}, DisplayChoice::AsIs},
        {{"wayland", "wayland-0", ":0", ""}, DisplayChoice::XWayland},
        {{"", "wayland-0", ":1", ""}, DisplayChoice::XWayland},
        {{"tty", "", ":0", "wayland"}, DisplayChoice::XWayland},
        {{"wayland", "wayland-0", "", ""}, DisplayChoice::NoXServer},
        {{"tty", "", "", ""}, DisplayChoice::NoXServer},
        {{"wayland", "wayland-0", "", "offscreen"}, DisplayChoice::AsIs},
        {{"wayland", "wayland-0", ":0", "xcb"}, DisplayChoice::AsIs},
    };
    for (const auto& [session, choice] : cases)
        EXPECT_EQ(chooseDisplay(session), choice)
            << session.sessionType << " " << session.waylandDisplay << " " << session.display << " "
            << session.qtPlatform;
}

class DisplaySessionTest : public ::testing::Test {
protected:
    test::ProgramCopy program_{"kadrix-session"};
    QString errors_;
};

// A Wayland session whose compositor cannot be reached for the screen: the
// program runs on XWayland all the same and says once that it cannot
// capture, rather than taking black pictures.
TEST_F(DisplaySessionTest, AWaylandSessionWithoutAScreenGrabRunsOnXWaylandAndSaysSoOnce) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_SESSION_TYPE", "wayland");
    environment.insert("WAYLAND_DISPLAY", "wayland-kadrix-test");
    QProcess& process = program_.start(environment);
    const QString notice = "Этот сеанс Wayland не даёт программе снимать экран";
    ASSERT_TRUE(test::waitFor([&] {
        errors_ += QString::fromUtf8(process.readAllStandardError());
        return errors_.contains(notice);
    })) << errors_.toStdString();
    EXPECT_TRUE(errors_.contains("Снимки и клипы сделать нельзя"));
    EXPECT_EQ(process.state(), QProcess::Running) << "it runs on the X server";
    EXPECT_EQ(errors_.count(notice), 1);
}

TEST_F(DisplaySessionTest, WithoutAnXServerTheProgramSaysSoAndEnds) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    environment.insert("XDG_SESSION_TYPE", "wayland");
    QProcess& process = program_.start(environment);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "it ends, not crashes";
    EXPECT_EQ(process.exitCode(), 1);
    const QString said = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(said.contains("X-сервер не найден")) << said.toStdString();
}

} // namespace
} // namespace kadrix
