// SPDX-License-Identifier: GPL-3.0-or-later
// A sound played to its end on a private sound server, and with none: the
// window repaints but takes no input meanwhile, and nothing waits forever.
#include "platform/media_services.h"
#include "tests/support/gui_wait.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_tone.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

// The name is not UTF-8: the player must get the file's own bytes.
std::string writeTone(const test::TempDir& dir) {
    const std::string path = dir.path("ZVUK\xE9\xE9.wav");
    test::writeTone(path);
    return path;
}
int playingStreams() {
    QProcess pactl;
    pactl.start("pactl", {"list", "short", "sink-inputs"});
    pactl.waitForFinished(5000);
    return static_cast<int>(pactl.readAllStandardOutput().count('\n'));
}

TEST(SoundPlayerX11, PlaysToTheEndWhileTheWindowRepaintsAndTakesNoInput) {
    if (!qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION"))
        GTEST_SKIP() << "needs the private sound server of scripts/pulse-session";
    test::TempDir dir("kadrix-play");
    const std::string sound = writeTone(dir);
    QPushButton button("button");
    button.setGeometry(100, 100, 200, 100);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button, 20000));
    bool playing = false;
    int clicksWhilePlaying = 0, clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        clicksWhilePlaying += playing;
    });
    // Meanwhile: the server has our stream beside the test tone, timers run,
    // and a real click on the button waits until the sound is over.
    const int before = playingStreams();
    int during = 0, ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(100);
    QTimer::singleShot(700, [&] {
        during = playingStreams();
        QProcess::execute("xdotool", {"mousemove", "--window", QString::number(button.winId()),
                                      "50", "50", "click", "1"});
    });

    const std::unique_ptr<SoundPlayer> player = createSoundPlayer();
    QElapsedTimer took;
    took.start();
    playing = true;
    EXPECT_TRUE(player->playToEnd(sound));
    playing = false;
    EXPECT_GE(took.elapsed(), 1400);
    EXPECT_LE(took.elapsed(), 1500 + 3000);
    EXPECT_EQ(during, before + 1);
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(test::waitFor([&] { return clicks == 1; }, 5000));
    EXPECT_EQ(clicksWhilePlaying, 0);
}

TEST(SoundPlayerX11, WithoutASoundServerNothingWaitsForever) {
    if (qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION"))
        GTEST_SKIP() << "needs a session without a sound server";
    qputenv("PULSE_SERVER", "unix:/nonexistent/kadrix-no-server");
    test::TempDir dir("kadrix-play");
    const std::string sound = writeTone(dir);
    QElapsedTimer took;
    took.start();
    createSoundPlayer()->playToEnd(sound);
    EXPECT_LE(took.elapsed(), 5000 + 1500 + 3000);
}

} // namespace
} // namespace kadrix
