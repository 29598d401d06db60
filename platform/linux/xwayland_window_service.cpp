// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/xwayland_window_service.h"

#include "platform/linux/xcb_reply.h"

#include <xcb/shape.h>

namespace kadrix {

namespace {

class XWaylandWindowAway final : public WindowAway {
public:
    XWaylandWindowAway(xcb_connection_t* connection, xcb_window_t window)
        : connection_(connection), window_(window) {
        // Pixel 0 of a 32-bit window is fully transparent. The fill covers
        // the window exactly: XWayland passes on no damage of a larger one.
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
        if (geometry) {
            const xcb_gcontext_t gc = xcb_generate_id(connection_);
            const std::uint32_t transparent = 0;
            xcb_create_gc(connection_, gc, window_, XCB_GC_FOREGROUND, &transparent);
            const xcb_rectangle_t all{0, 0, geometry->width, geometry->height};
            xcb_poly_fill_rectangle(connection_, window_, gc, 1, &all);
            xcb_free_gc(connection_, gc);
        }
        // A round trip: the server has painted the window when it answers.
        const XcbReply<xcb_get_input_focus_reply_t> synced(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~XWaylandWindowAway() override {
        // The window's own pixels come back from the toolkit, which draws
        // what it holds of the window again where the window is exposed.
        xcb_clear_area(connection_, 1, window_, 0, 0, 0, 0);
        xcb_flush(connection_);
    }
    XWaylandWindowAway(const XWaylandWindowAway&) = delete;
    XWaylandWindowAway& operator=(const XWaylandWindowAway&) = delete;

private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
};

} // namespace

std::unique_ptr<WindowAway> XWaylandWindowService::takeAway(NativeWindow window,
                                                            const std::vector<ScreenRect>&) {
    return std::make_unique<XWaylandWindowAway>(connection_, static_cast<xcb_window_t>(window));
}

void XWaylandWindowService::flush() {
    xcb_flush(connection_);
}

void XWaylandWindowService::setInputShape(NativeWindow window,
                                          const std::vector<ScreenRect>& opaque) {
    const auto id = static_cast<xcb_window_t>(window);
    if (opaque.empty()) {
        inputShapes_.erase(window);
        xcb_shape_mask(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, id, 0, 0, XCB_NONE);
    } else {
        inputShapes_[window] = opaque;
        std::vector<xcb_rectangle_t> rects;
        rects.reserve(opaque.size());
        for (const ScreenRect& rect : opaque)
            rects.push_back({static_cast<std::int16_t>(rect.x), static_cast<std::int16_t>(rect.y),
                             static_cast<std::uint16_t>(rect.width),
                             static_cast<std::uint16_t>(rect.height)});
        xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                             XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                             static_cast<std::uint32_t>(rects.size()), rects.data());
    }
    xcb_flush(connection_);
}

std::vector<ScreenRect> XWaylandWindowService::inputShape(NativeWindow window) const {
    const auto found = inputShapes_.find(window);
    return found == inputShapes_.end() ? std::vector<ScreenRect>{} : found->second;
}

} // namespace kadrix
