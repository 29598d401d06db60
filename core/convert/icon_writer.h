// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kadrix {

inline constexpr int iconSide = 32;
inline constexpr std::size_t iconFileSize = 766;
// Said, in place of an icon, of a picture narrower or lower than 32 pixels.
inline constexpr const char* iconRefusal = "Из этого BMP нельзя вырезать иконку 32х32!";

constexpr bool canCutIcon(int width, int height) {
    return width >= iconSide && height >= iconSide;
}

// The icon file of the picture's top-left 32 x 32 pixels: one 4-bit image
// with the 16 standard colours as its palette, each pixel the nearest
// standard colour, and a mask that makes pure white (255, 255, 255)
// transparent; transparent pixels are stored black. Always 766 bytes.
// Throws kadrix::Error with iconRefusal when the picture is narrower or lower
// than 32 pixels.
std::vector<std::byte> makeIcon(const ImageView& picture);

// Makes the icon and writes it to path, creating or replacing the file.
void writeIcon(const ImageView& picture, const std::string& path);

} // namespace kadrix
