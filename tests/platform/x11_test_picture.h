// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"
#include "tests/support/fake_screen_grabber.h"

#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

namespace kadrix {

// A known picture painted over the whole root window of the test's display
// ($DISPLAY): neighbouring pixels differ, and so does the picture from its
// mirror images. On an 8-bit screen it is drawn with colours allocated for it.
class RootPicture {
public:
    // Paints the picture and waits until the server has drawn it.
    RootPicture();
    ~RootPicture();
    RootPicture(const RootPicture&) = delete;
    RootPicture& operator=(const RootPicture&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    int screenNumber() const { return screenNumber_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int depth() const { return depth_; }
    // The format a grab of this screen should report, from its depth alone.
    PixelFormat expectedFormat() const;

    // The same screen in memory.
    FakeScreenGrabber fake() const;
    // The colour shown at a point; black off the screen.
    PaletteColor colourAt(int x, int y) const;
    // The palette entries that the picture uses (8-bit screens).
    const std::vector<std::uint32_t>& pixelValuesInUse() const { return inUse_; }

private:
    std::uint32_t pixelAt(int x, int y) const;

    xcb_connection_t* connection_;
    int screenNumber_ = 0;
    int width_ = 0;
    int height_ = 0;
    int depth_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::byte> pixels_;
    std::vector<PaletteColor> palette_; // indexed by pixel value, 8-bit screens
    std::vector<std::uint32_t> inUse_;
    std::uint32_t blackPixel_ = 0;
};

// The picture of the test display, painted on first use.
const RootPicture& rootPicture();

} // namespace kadrix
