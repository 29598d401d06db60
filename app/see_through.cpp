#include "app/see_through.h"

#include "app/colors.h"
#include "platform/window_service.h"

#include <QBitmap>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace kadrix {

SeeThrough::SeeThrough(QWidget* window, WindowService& windows)
    : QObject(window), window_(window), windows_(&windows) {}

void SeeThrough::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        // Once the frame has its size and layout, in one shape.
        update();
    } else {
        window_->clearMask();
        flush();
    }
}

void SeeThrough::update() {
    if (!enabled_ || pending_)
        return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        if (enabled_)
            apply();
    });
}

QRegion SeeThrough::opaqueRegion(const QImage& rendering) {
    // Maroon as the rendering holds it: on a 16-bit screen it is not exactly
    // (128, 0, 0) any more.
    QImage probe(1, 1, rendering.format());
    probe.fill(colors::maroon);
    const QRgb key = probe.pixel(0, 0);
    const QImage mask = rendering.createMaskFromColor(key, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(mask));
}

void SeeThrough::apply() {
    const QImage rendering = window_->grab().toImage();
    // A rendering at a device pixel ratio above 1 is larger than the window.
    QRegion opaque = opaqueRegion(rendering.scaled(window_->size()));
    // An empty mask means "no mask" to Qt; one pixel keeps the window shaped.
    if (opaque.isEmpty())
        opaque = QRegion(0, 0, 1, 1);
    if (opaque == window_->mask())
        return;
    window_->setMask(opaque);
    flush();
}

void SeeThrough::flush() {
    // Qt may hold the shape request back; the server must have it before the
    // next grab of the screen looks through the window.
    windows_->flush();
}

} // namespace kadrix
