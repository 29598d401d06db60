// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/xcb_reply.h"
#include "platform/screen_grabber.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>
#include <xcb/xcb.h>

namespace kadrix {

class X11ShmSegment;

// Grabs the root window of an X screen. Pictures come through a reusable
// MIT-SHM segment where the server offers one that it can attach, otherwise
// (a display on another machine) in the replies of plain image requests.
class X11ScreenGrabber final : public ScreenGrabber {
public:
    // Opens a connection of its own to the display named by $DISPLAY.
    // Throws kadrix::Error when there is none or its format is not supported.
    X11ScreenGrabber();
    // Works on a connection that the caller owns (the GUI's) and keeps open
    // while the grabber lives.
    X11ScreenGrabber(xcb_connection_t* connection, int screenNumber);
    ~X11ScreenGrabber() override;
    X11ScreenGrabber(const X11ScreenGrabber&) = delete;
    X11ScreenGrabber& operator=(const X11ScreenGrabber&) = delete;

    ImageView grab(const ScreenRect& rect) override;

    // True while pictures come through shared memory.
    bool usesSharedMemory() const { return shmUsable_; }

private:
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };
    using OwnedConnection = std::unique_ptr<xcb_connection_t, Disconnect>;

    struct Connected {
        OwnedConnection owned; // empty for a borrowed connection
        xcb_connection_t* connection;
        int screenNumber;
    };
    static Connected connectToDisplay();
    explicit X11ScreenGrabber(Connected connected);

    std::size_t strideFor(int width) const;
    // The pixels of a rectangle that lies wholly on the screen.
    std::span<const std::byte> grabOnScreen(int x, int y, int width, int height);
    std::span<const std::byte> grabShared(int x, int y, int width, int height);
    std::span<const std::byte> grabPlain(int x, int y, int width, int height);
    void readPalette();

    OwnedConnection ownConnection_; // first: the members below use it as they go
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_colormap_t defaultColormap_ = 0;
    PixelFormat format_ = PixelFormat::Bgrx32;
    int bitsPerPixel_ = 0;
    int scanlinePad_ = 0;
    int paletteSize_ = 0;
    std::byte blackPixel_{0};
    bool shmUsable_ = false;

    std::unique_ptr<X11ShmSegment> segment_;
    XcbReply<xcb_get_image_reply_t> plainReply_; // holds the latest plain picture
    std::vector<std::byte> composed_;            // a rectangle reaching past the screen
    std::vector<PaletteColor> palette_;
};

} // namespace kadrix
