// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/create_avi.h"
#include "tests/support/convert_test_support.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kadrix::test {

// A clip of ten 64 x 48 frames at 10 a second, each frame one colour of its
// own: blue first, lime last, shades of red between, so that a player that
// shows lime has reached the end. In 32 bits the unused fourth byte is zero,
// as the X server gives it; 16 bits are 5-5-5. Returns the clip's path.
inline std::string writeBlueToLimeClip(const TempDir& dir, const std::string& name, int bits = 32) {
    std::vector<std::string> frames;
    for (int n = 0; n < 10; ++n) {
        const std::uint32_t rgb = n == 0   ? 0x0000FF
                                  : n == 9 ? 0x00FF00
                                           : static_cast<std::uint32_t>(n * 20) << 16;
        BmpRecipe recipe;
        recipe.bits = bits;
        recipe.width = 64;
        recipe.height = 48;
        recipe.pixel = [rgb, bits](int, int) -> std::uint32_t {
            if (bits != 16)
                return rgb;
            return (rgb >> 19 & 31) << 10 | (rgb >> 11 & 31) << 5 | (rgb >> 3 & 31);
        };
        frames.push_back(dir.path("Fr" + std::to_string(n) + ".bmp"));
        writeFile(frames.back(), makeBmp(recipe));
    }
    const std::string clip = dir.path(name);
    createAvi(clip, frames, 10);
    for (const std::string& frame : frames)
        std::filesystem::remove(frame);
    return clip;
}

} // namespace kadrix::test
