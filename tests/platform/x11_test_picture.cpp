// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/platform/x11_test_picture.h"

#include "platform/linux/xcb_reply.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kadrix {

namespace {

constexpr int allocatedColours = 16;

std::uint32_t hashOf(int x, int y) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 0x9e3779b1u ^ static_cast<std::uint32_t>(y) * 0x85ebca77u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    return h ^ h >> 12;
}

int bytesPerPixel(int depth) {
    return depth > 16 ? 4 : depth > 8 ? 2 : 1;
}

// Widens a channel of `bits` bits to 8, as the screen shows it.
std::uint8_t widen(std::uint32_t value, int bits) {
    return static_cast<std::uint8_t>(value << (8 - bits) | value >> (2 * bits - 8));
}

} // namespace

RootPicture::RootPicture() : connection_(xcb_connect(nullptr, &screenNumber_)) {
    if (xcb_connection_has_error(connection_))
        throw std::runtime_error("the test needs an X display");
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber_; ++i)
        xcb_screen_next(&it);
    const xcb_screen_t& screen = *it.data;
    width_ = screen.width_in_pixels;
    height_ = screen.height_in_pixels;
    depth_ = screen.root_depth;
    blackPixel_ = screen.black_pixel;
    const int bytes = bytesPerPixel(depth_);
    stride_ = (static_cast<std::size_t>(width_ * bytes) + 3) / 4 * 4;

    if (depth_ == 8) {
        palette_.resize(256);
        for (int k = 0; k < allocatedColours; ++k) {
            const std::uint32_t h = hashOf(k, 99);
            const XcbReply<xcb_alloc_color_reply_t> colour(xcb_alloc_color_reply(
                connection_,
                xcb_alloc_color(connection_, screen.default_colormap,
                                static_cast<std::uint16_t>((h & 0xff) * 257),
                                static_cast<std::uint16_t>((h >> 8 & 0xff) * 257),
                                static_cast<std::uint16_t>((h >> 16 & 0xff) * 257)),
                nullptr));
            if (!colour)
                throw std::runtime_error("cannot allocate a colour");
            palette_[colour->pixel] = {static_cast<std::uint8_t>(colour->red >> 8),
                                       static_cast<std::uint8_t>(colour->green >> 8),
                                       static_cast<std::uint8_t>(colour->blue >> 8)};
            inUse_.push_back(colour->pixel);
        }
    }

    pixels_.assign(stride_ * static_cast<std::size_t>(height_), std::byte{0});
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int i = 0; i < bytes; ++i)
                pixels_[static_cast<std::size_t>(y) * stride_ +
                        static_cast<std::size_t>(x * bytes + i)] =
                    static_cast<std::byte>(pixelAt(x, y) >> (8 * i));
    if (depth_ == 8)
        inUse_.push_back(blackPixel_); // off the screen

    // In strips that stay below the server's request size limit.
    const xcb_gcontext_t gc = xcb_generate_id(connection_);
    xcb_create_gc(connection_, gc, screen.root, 0, nullptr);
    const int rowsPerStrip = std::max<int>(
        1, static_cast<int>((xcb_get_maximum_request_length(connection_) * 4 - 64) / stride_ / 2));
    for (int top = 0; top < height_; top += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, height_ - top);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen.root, gc,
                      static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(rows), 0,
                      static_cast<std::int16_t>(top), 0, static_cast<std::uint8_t>(depth_),
                      static_cast<std::uint32_t>(stride_ * static_cast<std::size_t>(rows)),
                      reinterpret_cast<const std::uint8_t*>(pixels_.data()) +
                          static_cast<std::size_t>(top) * stride_);
    }
    xcb_free_gc(connection_, gc);
    // A round trip: the server has drawn everything asked before it answers.
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    if (!focus || xcb_connection_has_error(connection_))
        throw std::runtime_error("cannot paint the root window");
}

RootPicture::~RootPicture() {
    xcb_disconnect(connection_);
}

PixelFormat RootPicture::expectedFormat() const {
    switch (depth_) {
    case 8:
        return PixelFormat::Indexed8;
    case 15:
        return PixelFormat::Rgb555;
    case 16:
        return PixelFormat::Rgb565;
    default:
        return PixelFormat::Bgrx32;
    }
}

std::uint32_t RootPicture::pixelAt(int x, int y) const {
    const std::uint32_t h = hashOf(x, y);
    switch (depth_) {
    case 8:
        return inUse_[h % allocatedColours];
    case 15:
        return h & 0x7fff;
    case 16:
        return h & 0xffff;
    default:
        return h & 0xffffff;
    }
}

FakeScreenGrabber RootPicture::fake() const {
    return FakeScreenGrabber(width_, height_, expectedFormat(), stride_, pixels_, palette_,
                             static_cast<std::byte>(blackPixel_));
}

PaletteColor RootPicture::colourAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0};
    const std::uint32_t v = pixelAt(x, y);
    switch (depth_) {
    case 8:
        return palette_[v];
    case 15:
        return {widen(v >> 10 & 31, 5), widen(v >> 5 & 31, 5), widen(v & 31, 5)};
    case 16:
        return {widen(v >> 11, 5), widen(v >> 5 & 63, 6), widen(v & 31, 5)};
    default:
        return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v)};
    }
}

const RootPicture& rootPicture() {
    static const RootPicture picture;
    return picture;
}

} // namespace kadrix
