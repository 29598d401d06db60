#pragma once

#include <cstddef>
#include <cstdint>

namespace kadrix {

// A decoded picture in memory, borrowed from whoever owns the pixels (a
// QImage in Format_RGB32, the tool's BMP loader). Rows run top-down; each
// pixel is 4 bytes: blue, green, red and one unused byte, which is what both
// owners hold natively, so the encoders read it without a conversion.
struct PictureView {
    int width = 0;
    int height = 0;
    std::size_t stride = 0; // bytes from the start of one row to the next
    const std::uint8_t* pixels = nullptr;

    const std::uint8_t* row(int y) const { return pixels + static_cast<std::size_t>(y) * stride; }
};

inline constexpr int pictureBytesPerPixel = 4;
inline constexpr int pictureBlue = 0;
inline constexpr int pictureGreen = 1;
inline constexpr int pictureRed = 2;

} // namespace kadrix
