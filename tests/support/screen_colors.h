// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <cstdlib>

namespace kadrix::test {

// Whether each channel of got is within tolerance of want's.
inline bool near(QColor got, QColor want, int tolerance) {
    return std::abs(got.red() - want.red()) <= tolerance &&
           std::abs(got.green() - want.green()) <= tolerance &&
           std::abs(got.blue() - want.blue()) <= tolerance;
}

// What the screen shows in an area of the desktop, as another program would
// grab it: the X server's picture, not the widget's own painting.
inline QImage screenArea(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

inline QColor screenColorAt(QPoint at) {
    return screenArea(QRect(at, QSize(1, 1))).pixelColor(0, 0);
}

} // namespace kadrix::test
