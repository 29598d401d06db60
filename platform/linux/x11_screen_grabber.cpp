// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/x11_screen_grabber.h"

#include "core/error.h"
#include "platform/linux/x11_shm_segment.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <xcb/shm.h>

namespace kadrix {

namespace {

// X coordinates and sizes are 16-bit: no screen is larger.
constexpr int maxSide = 32767;

Error unsupportedScreen(int depth, int bits) {
    return Error("Unsupported screen format: depth " + std::to_string(depth) + ", " +
                 std::to_string(bits) + " bits per pixel");
}

Error grabError(const xcb_generic_error_t* error) {
    if (!error)
        return Error("Cannot grab the screen: the connection to the X server is lost");
    return Error("Cannot grab the screen: X error " + std::to_string(error->error_code));
}

// Waits for the reply to a request; throws when the server answered with an
// error or the connection broke.
template <class Reply, class Cookie>
XcbReply<Reply> replyTo(xcb_connection_t* connection,
                        Reply* (*wait)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                        Cookie cookie) {
    xcb_generic_error_t* rawError = nullptr;
    XcbReply<Reply> reply(wait(connection, cookie, &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    if (!reply)
        throw grabError(error.get());
    return reply;
}

xcb_connection_t* checkedConnection(xcb_connection_t* connection) {
    if (xcb_connection_has_error(connection)) {
        const char* display = std::getenv("DISPLAY");
        if (!display)
            throw Error("Cannot open display: DISPLAY is not set");
        throw Error(std::string("Cannot open display \"") + display + "\"");
    }
    return connection;
}

const xcb_screen_t* screenOf(xcb_connection_t* connection, int screenNumber) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it))
        if (i == screenNumber)
            return it.data;
    throw Error("The X display has no screen " + std::to_string(screenNumber));
}

const xcb_visualtype_t* rootVisual(const xcb_screen_t& screen) {
    for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem > 0;
         xcb_depth_next(&depths))
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals))
            if (visuals.data->visual_id == screen.root_visual)
                return visuals.data;
    throw Error("The X screen's visual is not listed");
}

const xcb_format_t* pixmapFormat(const xcb_setup_t* setup, int depth) {
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data;
    throw unsupportedScreen(depth, 0);
}

// The screen's pixels as one of ours, with no conversion needed to read them.
PixelFormat pixelFormatOf(const xcb_setup_t& setup, int depth, const xcb_format_t& format,
                          const xcb_visualtype_t& visual) {
    const int bits = format.bits_per_pixel;
    const auto masks = [&](std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
        return visual.red_mask == red && visual.green_mask == green && visual.blue_mask == blue;
    };
    const bool littleEndian = setup.image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (bits == 8 && depth <= 8)
        return PixelFormat::Indexed8;
    if (littleEndian && bits == 16 && masks(0xf800, 0x07e0, 0x001f))
        return PixelFormat::Rgb565;
    if (littleEndian && bits == 16 && masks(0x7c00, 0x03e0, 0x001f))
        return PixelFormat::Rgb555;
    if (littleEndian && bits == 24 && masks(0xff0000, 0xff00, 0xff))
        return PixelFormat::Bgr24;
    if (littleEndian && bits == 32 && masks(0xff0000, 0xff00, 0xff))
        return PixelFormat::Bgrx32;
    throw unsupportedScreen(depth, bits);
}

} // namespace

X11ScreenGrabber::Connected X11ScreenGrabber::connectToDisplay() {
    int screenNumber = 0;
    OwnedConnection owned(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t* connection = owned.get();
    return {std::move(owned), connection, screenNumber};
}

X11ScreenGrabber::X11ScreenGrabber() : X11ScreenGrabber(connectToDisplay()) {}

X11ScreenGrabber::X11ScreenGrabber(xcb_connection_t* connection, int screenNumber)
    : X11ScreenGrabber(Connected{nullptr, connection, screenNumber}) {}

X11ScreenGrabber::X11ScreenGrabber(Connected connected)
    : ownConnection_(std::move(connected.owned)),
      connection_(checkedConnection(connected.connection)) {
    const int screenNumber = connected.screenNumber;
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const xcb_screen_t& screen = *screenOf(connection_, screenNumber);
    const xcb_format_t& format = *pixmapFormat(setup, screen.root_depth);
    format_ = pixelFormatOf(*setup, screen.root_depth, format, *rootVisual(screen));
    root_ = screen.root;
    defaultColormap_ = screen.default_colormap;
    bitsPerPixel_ = format.bits_per_pixel;
    scanlinePad_ = format.scanline_pad;
    paletteSize_ = 1 << std::min<int>(screen.root_depth, 8);
    blackPixel_ = static_cast<std::byte>(screen.black_pixel);
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection_, &xcb_shm_id);
    shmUsable_ = shm && shm->present;
}

X11ScreenGrabber::~X11ScreenGrabber() = default;

std::size_t X11ScreenGrabber::strideFor(int width) const {
    const auto pad = static_cast<std::size_t>(scanlinePad_);
    const std::size_t bits =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel_);
    return (bits + pad - 1) / pad * pad / 8;
}

ImageView X11ScreenGrabber::grab(const ScreenRect& rect) {
    if (rect.width <= 0 || rect.height <= 0 || rect.width > maxSide || rect.height > maxSide)
        throw Error("Cannot grab " + std::to_string(rect.width) + " x " +
                    std::to_string(rect.height) + " pixels of the screen");
    // Asked each time: the screen may have been resized since we connected.
    const auto geometry =
        replyTo(connection_, xcb_get_geometry_reply, xcb_get_geometry(connection_, root_));
    if (format_ == PixelFormat::Indexed8)
        readPalette();

    const long long left = std::max<long long>(rect.x, 0);
    const long long top = std::max<long long>(rect.y, 0);
    const long long right =
        std::min<long long>(static_cast<long long>(rect.x) + rect.width, geometry->width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(rect.y) + rect.height, geometry->height);
    ImageView view{rect.width, rect.height, format_, strideFor(rect.width), {}, palette_};
    if (left == rect.x && top == rect.y && right - left == rect.width &&
        bottom - top == rect.height) {
        view.pixels = grabOnScreen(rect.x, rect.y, rect.width, rect.height);
        return view;
    }

    // Partly or wholly off the screen: the visible part goes into a black
    // picture of the full size.
    composed_.assign(view.stride * static_cast<std::size_t>(rect.height),
                     format_ == PixelFormat::Indexed8 ? blackPixel_ : std::byte{0});
    if (left < right && top < bottom) {
        const auto width = static_cast<int>(right - left);
        const auto height = static_cast<int>(bottom - top);
        const std::span<const std::byte> part =
            grabOnScreen(static_cast<int>(left), static_cast<int>(top), width, height);
        const std::size_t partStride = strideFor(width);
        const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel_) / 8;
        const std::size_t column = static_cast<std::size_t>(left - rect.x) * bytesPerPixel;
        for (int y = 0; y < height; ++y)
            std::memcpy(composed_.data() +
                            static_cast<std::size_t>(top - rect.y + y) * view.stride + column,
                        part.data() + static_cast<std::size_t>(y) * partStride,
                        static_cast<std::size_t>(width) * bytesPerPixel);
    }
    view.pixels = composed_;
    return view;
}

std::span<const std::byte> X11ScreenGrabber::grabOnScreen(int x, int y, int width, int height) {
    if (shmUsable_) {
        const std::size_t size = strideFor(width) * static_cast<std::size_t>(height);
        if (!segment_ || segment_->size() < size) {
            segment_.reset();
            try {
                segment_ = std::make_unique<X11ShmSegment>(connection_, size);
            } catch (const Error&) {
                // The server offers MIT-SHM but cannot reach our memory (it
                // runs on another machine): plain requests from now on.
                shmUsable_ = false;
            }
        }
        if (segment_)
            return grabShared(x, y, width, height);
    }
    return grabPlain(x, y, width, height);
}

std::span<const std::byte> X11ScreenGrabber::grabShared(int x, int y, int width, int height) {
    const auto reply =
        replyTo(connection_, xcb_shm_get_image_reply,
                xcb_shm_get_image(connection_, root_, static_cast<std::int16_t>(x),
                                  static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                                  static_cast<std::uint16_t>(height), ~0u,
                                  XCB_IMAGE_FORMAT_Z_PIXMAP, segment_->id(), 0));
    const std::size_t size = strideFor(width) * static_cast<std::size_t>(height);
    if (reply->size < size)
        throw Error("Cannot grab the screen: the X server sent a short picture");
    return {segment_->data(), size};
}

std::span<const std::byte> X11ScreenGrabber::grabPlain(int x, int y, int width, int height) {
    plainReply_.reset();
    plainReply_ = replyTo(connection_, xcb_get_image_reply,
                          xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                        static_cast<std::uint16_t>(width),
                                        static_cast<std::uint16_t>(height), ~0u));
    const std::size_t size = strideFor(width) * static_cast<std::size_t>(height);
    if (static_cast<std::size_t>(xcb_get_image_data_length(plainReply_.get())) < size)
        throw Error("Cannot grab the screen: the X server sent a short picture");
    return {reinterpret_cast<const std::byte*>(xcb_get_image_data(plainReply_.get())), size};
}

// The colours that the screen shows for each pixel value, from the colormap
// in use (a program may have installed its own).
void X11ScreenGrabber::readPalette() {
    xcb_colormap_t colormap = defaultColormap_;
    const auto installed = replyTo(connection_, xcb_list_installed_colormaps_reply,
                                   xcb_list_installed_colormaps(connection_, root_));
    if (xcb_list_installed_colormaps_cmaps_length(installed.get()) > 0)
        colormap = xcb_list_installed_colormaps_cmaps(installed.get())[0];

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(paletteSize_));
    std::iota(pixels.begin(), pixels.end(), 0u);
    const auto reply =
        replyTo(connection_, xcb_query_colors_reply,
                xcb_query_colors(connection_, colormap, static_cast<std::uint32_t>(pixels.size()),
                                 pixels.data()));
    const auto colors =
        std::span(xcb_query_colors_colors(reply.get()),
                  static_cast<std::size_t>(xcb_query_colors_colors_length(reply.get())));
    if (colors.size() != pixels.size())
        throw Error("Cannot grab the screen: the X server sent a short colour table");
    palette_.clear();
    for (const xcb_rgb_t& color : colors)
        palette_.push_back({static_cast<std::uint8_t>(color.red >> 8),
                            static_cast<std::uint8_t>(color.green >> 8),
                            static_cast<std::uint8_t>(color.blue >> 8)});
}

} // namespace kadrix
