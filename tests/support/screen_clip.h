// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/create_avi.h"
#include "tests/support/convert_test_support.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kadrix::test {

// An uncompressed clip at 10 frames a second of what screens show: a light
// page with dark lines of "text", a blue title bar and a red box that moves
// on each frame. 32, 24, 16 (5-5-5) or 8 bits (16 colours). With noise, every
// pixel of every frame differs instead, which no encoder can make small.
inline std::string writeScreenClip(const std::filesystem::path& folder, const std::string& name,
                                   int width, int height, int bits, int frames,
                                   bool noise = false) {
    const std::vector<Rgb> colors = {{235, 235, 235}, {20, 20, 20}, {40, 70, 160}, {200, 30, 30}};
    std::vector<std::string> files;
    for (int n = 0; n < frames; ++n) {
        BmpRecipe recipe;
        recipe.bits = bits;
        recipe.width = width;
        recipe.height = height;
        recipe.palette = colors;
        recipe.pixel = [&colors, bits, noise, n](int x, int y) -> std::uint32_t {
            if (noise) {
                const std::uint32_t hash =
                    static_cast<std::uint32_t>(x * 7919 + y * 104729 + n * 31) * 2654435761u;
                return bits == 8 ? hash >> 30 : bits == 16 ? hash >> 17 : hash >> 8;
            }
            int index = 0;
            if (x >= n * 6 % 200 && x < n * 6 % 200 + 40 && y >= 60 && y < 100)
                index = 3;
            else if (y < 16)
                index = 2;
            else if (y % 12 >= 4 && y % 12 < 9 && x % 9 < 6 && (x / 54 + y / 12) % 5 != 0)
                index = 1;
            const Rgb c = colors[static_cast<std::size_t>(index)];
            if (bits == 8)
                return static_cast<std::uint32_t>(index);
            if (bits == 16)
                return std::uint32_t{c.red} >> 3 << 10 | std::uint32_t{c.green} >> 3 << 5 |
                       std::uint32_t{c.blue} >> 3;
            return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
        };
        files.push_back((folder / ("frame" + std::to_string(n) + ".bmp")).string());
        writeFile(files.back(), makeBmp(recipe));
    }
    const std::string clip = (folder / name).string();
    createAvi(clip, files, 10);
    for (const std::string& file : files)
        std::filesystem::remove(file);
    return clip;
}

} // namespace kadrix::test
