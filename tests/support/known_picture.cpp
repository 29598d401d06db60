// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/known_picture.h"

#include "tests/support/screen_colors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace kadrix::test {

QImage knownPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = knownColorAt(x, y).rgb();
    }
    return picture;
}

QColor knownColorHeld(int x, int y, int bitsPerChannel) {
    const QColor known = knownColorAt(x, y);
    const int shift = 8 - bitsPerChannel;
    const int most = (1 << bitsPerChannel) - 1;
    auto held = [&](int value) {
        return (value >> shift) * 255 / most;
    };
    return QColor(held(known.red()), held(known.green()), held(known.blue()));
}

int pixelsUnlikeKnownPicture(const QImage& picture, QPoint origin, int bitsPerChannel,
                             int tolerance, int margin, int step) {
    int unlike = 0;
    for (int y = margin; y < picture.height() - margin; y += step)
        for (int x = margin; x < picture.width() - margin; x += step)
            if (!near(picture.pixelColor(x, y),
                      knownColorHeld(origin.x() + x, origin.y() + y, bitsPerChannel), tolerance))
                ++unlike;
    return unlike;
}

KnownPictureWindow::KnownPictureWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
    // All screens of the desktop, where there are several side by side.
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    picture_ = knownPicture(screen.size());
    // A desktop window: the window manager keeps it below every other.
    setAttribute(Qt::WA_X11NetWmWindowTypeDesktop);
    setGeometry(screen);
}

void KnownPictureWindow::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, picture_);
}

} // namespace kadrix::test
