#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <csignal>
#include <sys/wait.h>

namespace kadrix::test {

KnownPictureProcess::KnownPictureProcess() {
    if (!QProcess::startDetached(KADRIX_BINARY_DIR "/tests/kadrix_known_picture", {}, {}, &pid_))
        return;
    // Shown once the screen's middle has the picture's colour.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint middle = screen.center();
    shown_ = waitFor(
        [&] {
            const QImage at = QGuiApplication::primaryScreen()
                                  ->grabWindow(0, middle.x(), middle.y(), 1, 1)
                                  .toImage();
            const QColor expected = knownColorAt(middle.x(), middle.y());
            const QColor seen = at.pixelColor(0, 0);
            return std::abs(seen.red() - expected.red()) <= 8 &&
                   std::abs(seen.green() - expected.green()) <= 8 &&
                   std::abs(seen.blue() - expected.blue()) <= 8;
        },
        20000);
}

KnownPictureProcess::~KnownPictureProcess() {
    if (pid_ > 0) {
        ::kill(static_cast<pid_t>(pid_), SIGTERM);
        ::waitpid(static_cast<pid_t>(pid_), nullptr, 0);
    }
}

} // namespace kadrix::test
