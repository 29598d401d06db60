// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"
#include "core/picture/standard_colors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kadrix::test {

// A picture in memory as the encoders take it (blue, green, red, unused),
// with `padding` spare bytes after each row that must never be read as
// pixels, so that a wrong row step shows.
class Canvas {
public:
    Canvas(int width, int height, std::size_t padding = 0);
    void set(int x, int y, Rgb color);
    Rgb get(int x, int y) const;
    ImageView view() const;

private:
    int width_;
    int height_;
    std::size_t stride_;
    std::vector<std::uint8_t> bytes_;
};

// Runs a shell command; status is its exit status (-1 when it did not run
// or end normally).
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCapturing(const std::string& command);

// Runs a shell command and returns its standard output; a command that fails
// or is missing is a test failure (reported, output empty).
std::string runCommand(const std::string& command);

// True when a program is on PATH; otherwise records a failure that says what
// to install, so that a check never passes silently without its reader.
bool haveProgram(const std::string& program, const std::string& package);

// A picture as an independent decoder sees it: rows top-down, 4 bytes a
// pixel (red, green, blue, alpha).
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                     4];
    }
};

// Decodes any file Pillow reads (BMP, ICO, PNG, JPEG) to RGBA.
RgbaImage decodeWithPillow(const std::string& path);

// A BMP file written by the test itself, independent of the program's
// writers: uncompressed, 40-byte info header, no resolution.
// pixel(x, y) gives the stored value of the pixel at column x, row y counted
// from the top: a palette index for 8 bits or fewer, a 5-5-5 value for 16
// bits, 0xRRGGBB for 24 and 32 bits.
struct BmpRecipe {
    int bits = 24;
    int width = 0;
    int height = 0;
    bool topDown = false;
    std::vector<Rgb> palette;
    std::function<std::uint32_t(int x, int y)> pixel;
};
std::vector<std::byte> makeBmp(const BmpRecipe& recipe);

} // namespace kadrix::test
