// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/screen_under_window.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <memory>
#include <vector>

namespace kadrix {

namespace {

Q_LOGGING_CATEGORY(captureLog, "kadrix.capture", QtWarningMsg)

// How long the windows beneath may take to draw themselves again; past that
// the picture is taken as it stands.
constexpr int redrawLimitMs = 1000;
// Drawing is over once the picture beneath has held still this long.
constexpr int settledMs = 10;
constexpr unsigned long pollIntervalUs = 1500;

struct PixelRow {
    int y;
    int left;
    int right;
};

// The rows of the window's opaque parts (its shape) within the picture.
std::vector<PixelRow> opaqueRows(const QRegion& shape, qreal scale, const ImageView& image) {
    std::vector<PixelRow> rows;
    for (const QRect& rect : shape) {
        const QRect pixels(
            QPoint(qFloor(rect.left() * scale), qFloor(rect.top() * scale)),
            QPoint(qCeil((rect.right() + 1) * scale) - 1, qCeil((rect.bottom() + 1) * scale) - 1));
        const QRect clipped = pixels.intersected(QRect(0, 0, image.width, image.height));
        for (int y = clipped.top(); y <= clipped.bottom(); ++y)
            rows.push_back({y, clipped.left(), clipped.right() + 1});
    }
    return rows;
}

std::vector<std::byte> copyRows(const ImageView& image, const std::vector<PixelRow>& rows) {
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel(image.format)) / 8;
    std::vector<std::byte> copy;
    for (const PixelRow& row : rows) {
        const std::byte* start =
            image.row(row.y) + static_cast<std::size_t>(row.left) * bytesPerPixel;
        copy.insert(copy.end(), start,
                    start + static_cast<std::size_t>(row.right - row.left) * bytesPerPixel);
    }
    return copy;
}

// Whether most of the pixels differ: our own window may still change a little
// on the screen while it goes (a button drawn released after the click that
// started the grab), what lies beneath changes nearly all of them.
bool mostlyDifferent(const std::vector<std::byte>& a, const std::vector<std::byte>& b,
                     std::size_t bytesPerPixel) {
    if (a.size() != b.size() || a.empty())
        return a.size() != b.size();
    std::size_t differing = 0;
    for (std::size_t at = 0; at < a.size(); at += bytesPerPixel)
        if (std::memcmp(a.data() + at, b.data() + at, bytesPerPixel) != 0)
            ++differing;
    return differing * 2 > a.size() / bytesPerPixel;
}

// The window's shape in physical pixels, to put back after the grab.
std::vector<ScreenRect> shapeInPixels(const QRegion& shape, qreal scale) {
    std::vector<ScreenRect> rects;
    for (const QRect& rect : shape)
        rects.push_back({qFloor(rect.x() * scale), qFloor(rect.y() * scale),
                         qCeil(rect.width() * scale), qCeil(rect.height() * scale)});
    return rects;
}

// The window's opaque parts: its shape, or where it keys by alpha, the part
// that takes clicks.
QRegion opaqueShape(const QWidget& window, const WindowService& windows, qreal scale) {
    if (windows.seeThroughByAlpha()) {
        QRegion opaque;
        for (const ScreenRect& rect : windows.inputShape(window.winId()))
            opaque += QRect(qFloor(rect.x / scale), qFloor(rect.y / scale),
                            qCeil(rect.width / scale), qCeil(rect.height / scale));
        if (!opaque.isEmpty())
            return opaque;
    }
    return window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
}

} // namespace

ScreenRect outerRectInPixels(const QWidget& window) {
    const qreal scale = window.windowHandle() ? window.windowHandle()->devicePixelRatio() : 1.0;
    const QRect outer = window.frameGeometry();
    return {qRound(outer.x() * scale), qRound(outer.y() * scale), qRound(outer.width() * scale),
            qRound(outer.height() * scale)};
}

ScreenRect screenRectInPixels(const QWidget& window) {
    const QScreen* screen = window.screen();
    const qreal scale = screen->devicePixelRatio();
    // Qt keeps a screen's corner where the X server has it and scales only
    // its size.
    const QRect geometry = screen->geometry();
    return {geometry.x(), geometry.y(), qRound(geometry.width() * scale),
            qRound(geometry.height() * scale)};
}

ImageView grabUnderWindow(QWidget& window, ScreenGrabber& grabber, WindowService& windows) {
    const ScreenRect rect = outerRectInPixels(window);
    const bool ownsFrame = window.frameGeometry() == window.geometry();
    if (!windows.canTakeAway() || !window.isVisible() || !ownsFrame)
        return grabber.grab(rect);

    // What the window's opaque parts cover must come from the windows beneath,
    // which draw themselves again once the window is out of the way.
    const qreal scale = window.windowHandle()->devicePixelRatio();
    const QRegion shape = opaqueShape(window, windows, scale);
    ImageView image = grabber.grab(rect);
    // A compositor that scales its outputs gives more pixels than the window has.
    const qreal pictureScale = scale * image.width / rect.width;
    const std::vector<PixelRow> rows = opaqueRows(shape, pictureScale, image);
    const std::vector<std::byte> ours = copyRows(image, rows);

    const std::unique_ptr<WindowAway> away =
        windows.takeAway(window.winId(), shapeInPixels(window.mask(), scale));
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer unchanged;
    unchanged.start();
    std::vector<std::byte> previous;
    for (;;) {
        image = grabber.grab(rect);
        std::vector<std::byte> beneath = copyRows(image, rows);
        if (beneath != previous) {
            previous = std::move(beneath);
            unchanged.restart();
        }
        const bool redrawn =
            mostlyDifferent(previous, ours,
                            static_cast<std::size_t>(bitsPerPixel(image.format)) / 8) &&
            unchanged.elapsed() >= settledMs;
        if (redrawn || rows.empty())
            break;
        if (waited.elapsed() >= redrawLimitMs) {
            qCWarning(captureLog) << "The windows beneath did not draw themselves within"
                                  << redrawLimitMs << "ms; the picture may show this window";
            break;
        }
        QThread::usleep(pollIntervalUs);
    }
    return image;
}

} // namespace kadrix
