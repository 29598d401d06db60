// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/see_through.h"

#include "platform/window_service.h"
#include "ui/colors.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace kadrix {

// Painted over all the window's other controls: clears the see-through part
// of a 32-bit window to fully transparent pixels.
class TransparentHoles final : public QWidget {
public:
    explicit TransparentHoles(QWidget* window) : QWidget(window) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }
    void setHoles(const QRegion& holes) {
        if (holes == holes_)
            return;
        holes_ = holes;
        update();
    }
    // While the window renders itself to find its maroon parts.
    void setSuspended(bool suspended) { suspended_ = suspended; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (suspended_)
            return;
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRegion(holes_);
        painter.fillRect(rect(), Qt::transparent);
    }

private:
    QRegion holes_;
    bool suspended_ = false;
};

SeeThrough::SeeThrough(QWidget* window, WindowService& windows)
    : QObject(window), window_(window), windows_(&windows), holes_(new TransparentHoles(window)) {
    // Only a 32-bit window has pixels to see through.
    if (windows_->seeThroughByAlpha())
        window_->setAttribute(Qt::WA_TranslucentBackground);
}

void SeeThrough::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        // Once the frame has its size and layout, in one shape.
        update();
    } else if (windows_->seeThroughByAlpha()) {
        holes_->hide();
        holes_->setHoles({});
        windows_->setInputShape(window_->winId(), {});
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
    holes_->setSuspended(true);
    const QImage rendering = window_->grab().toImage();
    holes_->setSuspended(false);
    // A rendering at a device pixel ratio above 1 is larger than the window.
    QRegion opaque = opaqueRegion(rendering.scaled(window_->size()));
    if (windows_->seeThroughByAlpha()) {
        holes_->setGeometry(window_->rect());
        holes_->raise();
        holes_->show();
        holes_->setHoles(QRegion(window_->rect()).subtracted(opaque));
        // Clicks on the transparent parts pass to the windows beneath.
        const qreal scale = window_->devicePixelRatioF();
        std::vector<ScreenRect> rects;
        for (const QRect& rect : opaque)
            rects.push_back({static_cast<int>(std::floor(rect.x() * scale)),
                             static_cast<int>(std::floor(rect.y() * scale)),
                             static_cast<int>(std::ceil(rect.width() * scale)),
                             static_cast<int>(std::ceil(rect.height() * scale))});
        // An empty input shape would take in every click: one pixel keeps it.
        if (rects.empty())
            rects.push_back({0, 0, 1, 1});
        if (rects != windows_->inputShape(window_->winId()))
            windows_->setInputShape(window_->winId(), rects);
        return;
    }
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
