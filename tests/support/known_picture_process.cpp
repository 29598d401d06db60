// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/screen_colors.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <csignal>
#include <sys/wait.h>

namespace kadrix::test {

KnownPictureProcess::KnownPictureProcess() {
    if (!QProcess::startDetached(KADRIX_BINARY_DIR "/tests/kadrix_known_picture", {}, {}, &pid_)) {
        failure_ = "the picture's process did not start";
        return;
    }
    // Shown once the screen's middle has the picture's colour.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint middle = screen.center();
    const QColor expected = knownColorAt(middle.x(), middle.y());
    QColor seen;
    shown_ = waitFor(
        [&] {
            seen = screenColorAt(middle);
            return near(seen, expected, 8);
        },
        20000);
    if (!shown_) {
        const bool running = ::waitpid(static_cast<pid_t>(pid_), nullptr, WNOHANG) == 0;
        if (!running)
            pid_ = 0; // reaped: nothing left to end
        failure_ = "the screen's middle shows " + seen.name().toStdString() + ", not " +
                   expected.name().toStdString() + "; the picture's process " +
                   (running ? "runs" : "has ended");
    }
}

bool windowShownOverPicture(const QWidget& window) {
    const int depth = QGuiApplication::primaryScreen()->depth();
    const int tolerance = depth < 24 ? 12 : 0;
    return waitFor([&] {
        const QPoint row = window.mapToGlobal(QPoint(0, 4));
        const int width = window.width();
        const QImage at = screenArea(QRect(row, QSize(width, 1)));
        int differing = 0;
        for (int x = 0; x < width; ++x)
            if (!near(at.pixelColor(x, 0), knownColorAt(row.x() + x, row.y()), tolerance))
                ++differing;
        return differing * 10 > width * 6;
    });
}

KnownPictureProcess::~KnownPictureProcess() {
    if (pid_ > 0) {
        ::kill(static_cast<pid_t>(pid_), SIGTERM);
        ::waitpid(static_cast<pid_t>(pid_), nullptr, 0);
        // Until the X server has taken the window away, its pixels stay on
        // screen and would pass for the next test's picture before that one
        // is drawn.
        const QPoint middle = QGuiApplication::primaryScreen()->geometry().center();
        const QColor picture = knownColorAt(middle.x(), middle.y());
        waitFor([&] { return !near(screenColorAt(middle), picture, 8); }, 5000);
    }
}

} // namespace kadrix::test
