#include "capture/screen_under_window.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

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

xcb_atom_t internOpacityAtom(xcb_connection_t* connection) {
    static const char name[] = "_NET_WM_WINDOW_OPACITY";
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, sizeof name - 1, name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(reply);
    return atom;
}

// Asked of the server once: the program has one connection, and a round trip
// on every frame of a recording is time the frame path does not have.
xcb_atom_t opacityAtom(xcb_connection_t* connection) {
    static const xcb_atom_t atom = internOpacityAtom(connection);
    return atom;
}

// Takes the window off the screen for a moment without unmapping it: shaped
// to nothing for the X server, and fully transparent for a compositor, which
// may keep showing its own copy of a window whose shape changed.
class ShapeAway {
public:
    ShapeAway(xcb_connection_t* connection, xcb_window_t window, const QRegion& shape, qreal scale)
        : connection_(connection), window_(window), shape_(shape), scale_(scale),
          opacity_(opacityAtom(connection)) {
        xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0, 0, nullptr);
        if (opacity_ != XCB_ATOM_NONE) {
            const uint32_t transparent = 0;
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, opacity_,
                                XCB_ATOM_CARDINAL, 32, 1, &transparent);
        }
        sync();
    }
    ~ShapeAway() {
        // The window is otherwise fully opaque, which is no opacity property.
        if (opacity_ != XCB_ATOM_NONE)
            xcb_delete_property(connection_, window_, opacity_);
        if (shape_.isEmpty()) {
            xcb_shape_mask(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window_, 0, 0,
                           XCB_NONE);
        } else {
            std::vector<xcb_rectangle_t> rects;
            for (const QRect& rect : shape_)
                rects.push_back({static_cast<int16_t>(qFloor(rect.x() * scale_)),
                                 static_cast<int16_t>(qFloor(rect.y() * scale_)),
                                 static_cast<uint16_t>(qCeil(rect.width() * scale_)),
                                 static_cast<uint16_t>(qCeil(rect.height() * scale_))});
            xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                                 XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0,
                                 static_cast<uint32_t>(rects.size()), rects.data());
        }
        xcb_flush(connection_);
    }
    ShapeAway(const ShapeAway&) = delete;
    ShapeAway& operator=(const ShapeAway&) = delete;

private:
    // A round trip: the server has shaped the window when it answers.
    void sync() {
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    xcb_window_t window_;
    QRegion shape_;
    qreal scale_;
    xcb_atom_t opacity_;
};

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

ImageView grabUnderWindow(QWidget& window, ScreenGrabber& grabber) {
    const ScreenRect rect = outerRectInPixels(window);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const bool ownsFrame = window.frameGeometry() == window.geometry();
    if (QGuiApplication::platformName() != "xcb" || !x11 || !window.isVisible() || !ownsFrame)
        return grabber.grab(rect);

    // What the window's opaque parts cover must come from the windows beneath,
    // which draw themselves again once the window is out of the way.
    const qreal scale = window.windowHandle()->devicePixelRatio();
    const QRegion shape = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
    ImageView image = grabber.grab(rect);
    const std::vector<PixelRow> rows = opaqueRows(shape, scale, image);
    const std::vector<std::byte> ours = copyRows(image, rows);

    ShapeAway away(x11->connection(), static_cast<xcb_window_t>(window.winId()), window.mask(),
                   scale);
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
