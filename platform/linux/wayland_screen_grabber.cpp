// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/wayland_screen_grabber.h"

#include "core/error.h"
#include "platform/linux/shm_buffer.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <poll.h>
#include <string>
#include <wayland-client.h>

namespace kadrix {

namespace {

constexpr int maxSide = 32767;
// A compositor that has not answered a copy in this time will not.
constexpr std::chrono::milliseconds answerLimit{5000};
// Sizes that a scale makes fractional round outward; this much below a
// whole number still counts as that number.
constexpr double roundingSlack = 1e-6;

Error connectionLost() {
    return Error("Cannot grab the screen: the connection to the Wayland compositor is lost");
}

// An output of the compositor and where it lies in the logical layout.
struct Output {
    std::uint32_t name = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* place = nullptr;
    int x = 0;
    int y = 0;
    int width = 0; // logical; 0 until the compositor has told
    int height = 0;
    int modeWidth = 0; // device pixels, before the output's rotation
    int modeHeight = 0;
    std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;

    Output() = default;
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() {
        if (place)
            zxdg_output_v1_destroy(place);
        if (output && wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output);
        else if (output)
            wl_output_destroy(output);
    }

    // Device pixels to a logical unit: 2 at scale 2, 1.5 at a fractional 1.5.
    double deviceScale() const {
        // The odd transforms turn the output by a quarter.
        const int across = transform % 2 == 1 ? modeHeight : modeWidth;
        return width > 0 && across > 0 ? static_cast<double>(across) / width : 1.0;
    }
};

const wl_output_listener outputListener = {
    .geometry = [](void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                   std::int32_t, const char*, const char*,
                   std::int32_t transform) { static_cast<Output*>(data)->transform = transform; },
    .mode =
        [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
           std::int32_t) {
            if (flags & WL_OUTPUT_MODE_CURRENT) {
                static_cast<Output*>(data)->modeWidth = width;
                static_cast<Output*>(data)->modeHeight = height;
            }
        },
    .done = [](void*, wl_output*) {},
    .scale = [](void*, wl_output*, std::int32_t) {},
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener placeListener = {
    .logical_position =
        [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
            static_cast<Output*>(data)->x = x;
            static_cast<Output*>(data)->y = y;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
            static_cast<Output*>(data)->width = width;
            static_cast<Output*>(data)->height = height;
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void*, zxdg_output_v1*, const char*) {},
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

} // namespace

struct WaylandScreenGrabber::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    zxdg_output_manager_v1* places = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    // One per part of a grab, kept for the next grab of the same size.
    std::vector<std::unique_ptr<ShmBuffer>> buffers;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        buffers.clear();
        outputs.clear();
        if (places)
            zxdg_output_manager_v1_destroy(places);
        if (screencopy)
            zwlr_screencopy_manager_v1_destroy(screencopy);
        if (shm)
            wl_shm_destroy(shm);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    void watchPlace(Output& output) {
        if (!places || output.place)
            return;
        output.place = zxdg_output_manager_v1_get_xdg_output(places, output.output);
        zxdg_output_v1_add_listener(output.place, &placeListener, &output);
    }

    // Reads and handles the compositor's events until done() holds.
    template <class Done> void dispatchUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + answerLimit;
        for (;;) {
            while (wl_display_prepare_read(display) != 0)
                if (wl_display_dispatch_pending(display) < 0)
                    throw connectionLost();
            if (done()) {
                wl_display_cancel_read(display);
                return;
            }
            if (wl_display_flush(display) < 0 && errno != EAGAIN) {
                wl_display_cancel_read(display);
                throw connectionLost();
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{wl_display_get_fd(display), POLLIN, 0};
            const int polled =
                ::poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            if (polled <= 0) {
                wl_display_cancel_read(display);
                if (polled < 0 && errno == EINTR)
                    continue;
                if (polled == 0)
                    throw Error("Cannot grab the screen: the Wayland compositor did not answer");
                throw connectionLost();
            }
            if (wl_display_read_events(display) != 0 || wl_display_dispatch_pending(display) < 0)
                throw connectionLost();
        }
    }

    void roundtrip() {
        bool answered = false;
        wl_callback* callback = wl_display_sync(display);
        static const wl_callback_listener listener = {
            .done = [](void* data, wl_callback*,
                       std::uint32_t) { *static_cast<bool*>(data) = true; },
        };
        wl_callback_add_listener(callback, &listener, &answered);
        try {
            dispatchUntil([&] { return answered; });
        } catch (...) {
            wl_callback_destroy(callback);
            throw;
        }
        wl_callback_destroy(callback);
    }

    // Handles what the compositor has sent meanwhile (outputs that came,
    // went or changed) without waiting for it.
    void takeNews() {
        if (wl_display_dispatch_pending(display) < 0)
            throw connectionLost();
        if (wl_display_prepare_read(display) != 0)
            return;
        pollfd ready{wl_display_get_fd(display), POLLIN, 0};
        if (::poll(&ready, 1, 0) > 0) {
            if (wl_display_read_events(display) != 0 || wl_display_dispatch_pending(display) < 0)
                throw connectionLost();
        } else {
            wl_display_cancel_read(display);
        }
        // A new output's place comes in answer to our asking for it.
        if (std::any_of(outputs.begin(), outputs.end(),
                        [](const auto& output) { return output->width <= 0; }))
            roundtrip();
    }
};

namespace {

const wl_registry_listener registryListener = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
            auto& connection = *static_cast<WaylandScreenGrabber::Connection*>(data);
            const std::string_view kind(interface);
            if (kind == wl_shm_interface.name) {
                connection.shm =
                    static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
            } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
                connection.screencopy = static_cast<zwlr_screencopy_manager_v1*>(wl_registry_bind(
                    registry, name, &zwlr_screencopy_manager_v1_interface, std::min(version, 3u)));
            } else if (kind == zxdg_output_manager_v1_interface.name) {
                connection.places = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
                    registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u)));
            } else if (kind == wl_output_interface.name) {
                auto output = std::make_unique<Output>();
                output->name = name;
                output->output = static_cast<wl_output*>(
                    wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 3u)));
                wl_output_add_listener(output->output, &outputListener, output.get());
                connection.watchPlace(*output);
                connection.outputs.push_back(std::move(output));
            }
        },
    .global_remove =
        [](void* data, wl_registry*, std::uint32_t name) {
            auto& outputs = static_cast<WaylandScreenGrabber::Connection*>(data)->outputs;
            std::erase_if(outputs, [name](const auto& output) { return output->name == name; });
        },
};

// What the compositor says of one output's copy of a part of the rectangle.
struct Part {
    WaylandScreenGrabber::Connection* connection = nullptr;
    std::size_t slot = 0; // the buffer it is copied into
    const Output* output = nullptr;
    int x = 0; // logical, in the layout
    int y = 0;
    int width = 0;
    int height = 0;
    zwlr_screencopy_frame_v1* frame = nullptr;
    std::uint32_t format = 0;
    int bufferWidth = 0;
    int bufferHeight = 0;
    int stride = 0;
    bool yInverted = false;
    bool ready = false;
    std::string failure;

    Part() = default;
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;
    ~Part() {
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
    }
    bool over() const { return ready || !failure.empty(); }
    const ShmBuffer& buffer() const { return *connection->buffers[slot]; }

    // Once the compositor has said which buffer it wants: ours, reused where
    // it fits.
    void copy() {
        if (bufferWidth <= 0 || bufferHeight <= 0 || stride < bufferWidth * 4) {
            failure = "the compositor offers no buffer that can be read";
            return;
        }
        auto& buffers = connection->buffers;
        try {
            if (buffers.size() <= slot)
                buffers.resize(slot + 1);
            if (!buffers[slot] || !buffers[slot]->fits(bufferWidth, bufferHeight, stride, format))
                buffers[slot] = std::make_unique<ShmBuffer>(connection->shm, bufferWidth,
                                                            bufferHeight, stride, format);
        } catch (const Error& error) {
            failure = error.what();
            return;
        }
        zwlr_screencopy_frame_v1_copy(frame, buffers[slot]->buffer());
    }
};

const zwlr_screencopy_frame_v1_listener frameListener = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t format, std::uint32_t width,
           std::uint32_t height, std::uint32_t stride) {
            auto& part = *static_cast<Part*>(data);
            part.format = format;
            part.bufferWidth = static_cast<int>(width);
            part.bufferHeight = static_cast<int>(height);
            part.stride = static_cast<int>(stride);
            // Before version 3 no buffer_done follows: this is the one offer.
            if (zwlr_screencopy_frame_v1_get_version(frame) <
                ZWLR_SCREENCOPY_FRAME_V1_BUFFER_DONE_SINCE_VERSION)
                part.copy();
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
            static_cast<Part*>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
    .ready = [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t,
                std::uint32_t) { static_cast<Part*>(data)->ready = true; },
    .failed =
        [](void* data, zwlr_screencopy_frame_v1*) {
            static_cast<Part*>(data)->failure = "the compositor could not copy the output";
        },
    .damage = [](void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t,
                 std::uint32_t) {},
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t,
                       std::uint32_t) {},
    .buffer_done = [](void* data, zwlr_screencopy_frame_v1*) { static_cast<Part*>(data)->copy(); },
};

// Formats whose bytes are blue, green, red, unused (or alpha), as ours; the
// other two have red and blue the other way round.
bool bgrxBytes(std::uint32_t format) {
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888;
}
bool rgbxBytes(std::uint32_t format) {
    return format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
}

int outward(double size) {
    return static_cast<int>(std::ceil(size - roundingSlack));
}
int inward(double place) {
    return static_cast<int>(std::floor(place + roundingSlack));
}

// Draws a part's picture into its box of the whole picture, scaled to the
// box where the part's output has a smaller scale than the picture.
void drawPart(const Part& part, std::byte* target, std::size_t targetStride, int boxX, int boxY,
              int boxWidth, int boxHeight) {
    const std::byte* source = part.buffer().bytes().data();
    const bool sameSize = boxWidth == part.bufferWidth;
    for (int y = 0; y < boxHeight; ++y) {
        int sourceY = static_cast<int>(static_cast<long long>(y) * part.bufferHeight / boxHeight);
        if (part.yInverted)
            sourceY = part.bufferHeight - 1 - sourceY;
        const std::byte* from = source + static_cast<std::size_t>(sourceY) * part.stride;
        std::byte* to = target + static_cast<std::size_t>(boxY + y) * targetStride +
                        static_cast<std::size_t>(boxX) * 4;
        if (sameSize && bgrxBytes(part.format)) {
            std::memcpy(to, from, static_cast<std::size_t>(boxWidth) * 4);
            continue;
        }
        const bool swap = rgbxBytes(part.format);
        for (int x = 0; x < boxWidth; ++x) {
            const int sourceX =
                static_cast<int>(static_cast<long long>(x) * part.bufferWidth / boxWidth);
            const std::byte* pixel = from + static_cast<std::size_t>(sourceX) * 4;
            to[4 * x + bgrxBlue] = pixel[swap ? 2 : 0];
            to[4 * x + bgrxGreen] = pixel[1];
            to[4 * x + bgrxRed] = pixel[swap ? 0 : 2];
            to[4 * x + 3] = std::byte{0};
        }
    }
}

} // namespace

WaylandScreenGrabber::WaylandScreenGrabber() : connection_(std::make_unique<Connection>()) {
    Connection& connection = *connection_;
    connection.display = wl_display_connect(nullptr);
    if (!connection.display)
        throw Error("Cannot connect to the Wayland compositor");
    connection.registry = wl_display_get_registry(connection.display);
    wl_registry_add_listener(connection.registry, &registryListener, &connection);
    connection.roundtrip();
    if (!connection.screencopy || !connection.shm)
        throw Error("The Wayland compositor offers no screen copy (wlr-screencopy)");
    if (!connection.places)
        throw Error("The Wayland compositor does not tell where its outputs lie (xdg-output)");
    for (const auto& output : connection.outputs)
        connection.watchPlace(*output);
    connection.roundtrip();
}

WaylandScreenGrabber::~WaylandScreenGrabber() = default;

ImageView WaylandScreenGrabber::grab(const ScreenRect& rect) {
    if (rect.width <= 0 || rect.height <= 0 || rect.width > maxSide || rect.height > maxSide)
        throw Error("Cannot grab " + std::to_string(rect.width) + " x " +
                    std::to_string(rect.height) + " pixels of the screen");
    Connection& connection = *connection_;
    connection.takeNews();

    // The parts of the rectangle on each output, and the scale of the picture.
    std::vector<std::unique_ptr<Part>> parts;
    double scale = 0;
    for (const auto& output : connection.outputs) {
        const int left = std::max(rect.x, output->x);
        const int top = std::max(rect.y, output->y);
        const int right = std::min(rect.x + rect.width, output->x + output->width);
        const int bottom = std::min(rect.y + rect.height, output->y + output->height);
        if (left >= right || top >= bottom)
            continue;
        auto part = std::make_unique<Part>();
        part->connection = &connection;
        part->slot = parts.size();
        part->output = output.get();
        part->x = left;
        part->y = top;
        part->width = right - left;
        part->height = bottom - top;
        scale = std::max(scale, output->deviceScale());
        parts.push_back(std::move(part));
    }
    if (scale <= 0)
        scale = 1;
    const int width = outward(rect.width * scale);
    const int height = outward(rect.height * scale);
    if (width > maxSide || height > maxSide)
        throw Error("Cannot grab " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels of the screen");

    for (const auto& part : parts) {
        part->frame = zwlr_screencopy_manager_v1_capture_output_region(
            connection.screencopy, 0, part->output->output, part->x - part->output->x,
            part->y - part->output->y, part->width, part->height);
        zwlr_screencopy_frame_v1_add_listener(part->frame, &frameListener, part.get());
    }
    connection.dispatchUntil([&] {
        return std::all_of(parts.begin(), parts.end(),
                           [](const auto& part) { return part->over(); });
    });
    for (const auto& part : parts) {
        if (!part->failure.empty())
            throw Error("Cannot grab the screen: " + part->failure);
        if (!bgrxBytes(part->format) && !rgbxBytes(part->format))
            throw Error("Cannot grab the screen: the compositor's pixel format " +
                        std::to_string(part->format) + " is not supported");
    }

    // One output's picture of the whole rectangle is handed out as it came.
    if (parts.size() == 1) {
        const Part& part = *parts.front();
        if (part.x == rect.x && part.y == rect.y && part.width == rect.width &&
            part.height == rect.height && part.bufferWidth == width &&
            part.bufferHeight == height && !part.yInverted && bgrxBytes(part.format))
            return {width,
                    height,
                    PixelFormat::Bgrx32,
                    static_cast<std::size_t>(part.stride),
                    part.buffer().bytes().first(static_cast<std::size_t>(part.stride) *
                                                static_cast<std::size_t>(height)),
                    {}};
    }

    // Otherwise the parts go into a black picture of the whole rectangle.
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    composed_.assign(stride * static_cast<std::size_t>(height), std::byte{0});
    for (const auto& part : parts) {
        const int left = inward((part->x - rect.x) * scale);
        const int top = inward((part->y - rect.y) * scale);
        const int right = std::min(width, outward((part->x + part->width - rect.x) * scale));
        const int bottom = std::min(height, outward((part->y + part->height - rect.y) * scale));
        if (left < right && top < bottom)
            drawPart(*part, composed_.data(), stride, left, top, right - left, bottom - top);
    }
    return {width, height, PixelFormat::Bgrx32, stride, composed_, {}};
}

} // namespace kadrix
