#include "tests/support/known_picture.h"

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
