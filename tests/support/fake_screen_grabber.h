// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen_grabber.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace kadrix {

// A screen held in memory, for tests of code that grabs the screen: it keeps
// the grabber's promises (the picture has the rectangle's size, black outside
// the screen) and records the rectangles asked for.
class FakeScreenGrabber final : public ScreenGrabber {
public:
    // The screen's rows top-down, stride bytes apart; black is the byte of a
    // black pixel on an indexed screen.
    FakeScreenGrabber(int width, int height, PixelFormat format, std::size_t stride,
                      std::vector<std::byte> pixels, std::vector<PaletteColor> palette = {},
                      std::byte black = std::byte{0})
        : width_(width), height_(height), format_(format), stride_(stride),
          pixels_(std::move(pixels)), palette_(std::move(palette)), black_(black) {}

    ImageView grab(const ScreenRect& rect) override {
        rects_.push_back(rect);
        const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel(format_)) / 8;
        const std::size_t stride =
            (static_cast<std::size_t>(rect.width) * bytesPerPixel + 3) / 4 * 4;
        picture_.assign(stride * static_cast<std::size_t>(rect.height), black_);
        const int left = std::max(rect.x, 0);
        const int right = std::min(rect.x + rect.width, width_);
        for (int y = std::max(rect.y, 0); y < std::min(rect.y + rect.height, height_); ++y)
            if (left < right)
                std::memcpy(picture_.data() + static_cast<std::size_t>(y - rect.y) * stride +
                                static_cast<std::size_t>(left - rect.x) * bytesPerPixel,
                            pixels_.data() + static_cast<std::size_t>(y) * stride_ +
                                static_cast<std::size_t>(left) * bytesPerPixel,
                            static_cast<std::size_t>(right - left) * bytesPerPixel);
        return {rect.width, rect.height, format_, stride, picture_, palette_};
    }

    const std::vector<ScreenRect>& rects() const { return rects_; }

private:
    int width_;
    int height_;
    PixelFormat format_;
    std::size_t stride_;
    std::vector<std::byte> pixels_;
    std::vector<PaletteColor> palette_;
    std::byte black_;
    std::vector<ScreenRect> rects_;
    std::vector<std::byte> picture_;
};

} // namespace kadrix
