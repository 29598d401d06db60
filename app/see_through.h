// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRegion>

class QWidget;

namespace kadrix {

class WindowService;
class TransparentHoles;

// Makes everything of a window that is painted in maroon see-through, and
// lets clicks there pass to the windows beneath, as a colour key does. On an
// X server the window is shaped (X11 SHAPE) to the pixels that are not
// maroon, which works with and without a compositor. Where the display shows
// see-through windows by their alpha (XWayland), the maroon pixels are
// painted fully transparent over everything else and the window's input
// shape is its opaque part. The window service sends the shape to the
// display at once.
class SeeThrough : public QObject {
    Q_OBJECT

public:
    // windows must outlive this object. Made before the window is first
    // shown: a window service that keys by alpha makes it a 32-bit window.
    SeeThrough(QWidget* window, WindowService& windows);

    // Turns the key colour on or off; while on, the shape follows the window's
    // content whenever update() is called.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Recomputes the shape on the next turn of the event loop (several calls
    // in one handler make one update).
    void update();

    // The opaque part of a rendering of the window: every pixel that is not
    // exactly maroon.
    static QRegion opaqueRegion(const QImage& rendering);

private:
    void apply();
    void flush();

    QWidget* window_;
    WindowService* windows_;
    TransparentHoles* holes_;
    bool enabled_ = false;
    bool pending_ = false;
};

} // namespace kadrix
