// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/x11_window_service.h"

#include "platform/linux/xcb_reply.h"

#include <xcb/shape.h>

namespace kadrix {

namespace {

xcb_atom_t internOpacityAtom(xcb_connection_t* connection) {
    static const char name[] = "_NET_WM_WINDOW_OPACITY";
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

class X11WindowAway final : public WindowAway {
public:
    X11WindowAway(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t opacity,
                  std::vector<ScreenRect> shape)
        : connection_(connection), window_(window), opacity_(opacity), shape_(std::move(shape)) {
        xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0, 0, nullptr);
        if (opacity_ != XCB_ATOM_NONE) {
            const uint32_t transparent = 0;
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, opacity_,
                                XCB_ATOM_CARDINAL, 32, 1, &transparent);
        }
        // A round trip: the server has shaped the window when it answers.
        const XcbReply<xcb_get_input_focus_reply_t> synced(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~X11WindowAway() override {
        // The window is otherwise fully opaque, which is no opacity property.
        if (opacity_ != XCB_ATOM_NONE)
            xcb_delete_property(connection_, window_, opacity_);
        if (shape_.empty()) {
            xcb_shape_mask(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window_, 0, 0,
                           XCB_NONE);
        } else {
            std::vector<xcb_rectangle_t> rects;
            rects.reserve(shape_.size());
            for (const ScreenRect& rect : shape_)
                rects.push_back({static_cast<int16_t>(rect.x), static_cast<int16_t>(rect.y),
                                 static_cast<uint16_t>(rect.width),
                                 static_cast<uint16_t>(rect.height)});
            xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                                 XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0,
                                 static_cast<uint32_t>(rects.size()), rects.data());
        }
        xcb_flush(connection_);
    }
    X11WindowAway(const X11WindowAway&) = delete;
    X11WindowAway& operator=(const X11WindowAway&) = delete;

private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
    xcb_atom_t opacity_;
    std::vector<ScreenRect> shape_;
};

} // namespace

X11WindowService::X11WindowService(xcb_connection_t* connection)
    : connection_(connection), opacity_(internOpacityAtom(connection)) {}

std::unique_ptr<WindowAway> X11WindowService::takeAway(NativeWindow window,
                                                       const std::vector<ScreenRect>& shape) {
    return std::make_unique<X11WindowAway>(connection_, static_cast<xcb_window_t>(window), opacity_,
                                           shape);
}

void X11WindowService::flush() {
    xcb_flush(connection_);
}

} // namespace kadrix
