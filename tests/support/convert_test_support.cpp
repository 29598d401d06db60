// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/convert_test_support.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace kadrix::test {

namespace fs = std::filesystem;

Canvas::Canvas(int width, int height, std::size_t padding)
    : width_(width), height_(height),
      stride_(static_cast<std::size_t>(width) * bgrxBytesPerPixel + padding),
      // Filled with a colour no test expects, so that a stray read shows.
      bytes_(stride_ * static_cast<std::size_t>(height), 0xA5) {}

void Canvas::set(int x, int y, Rgb color) {
    std::uint8_t* pixel = &bytes_[static_cast<std::size_t>(y) * stride_ +
                                  static_cast<std::size_t>(x) * bgrxBytesPerPixel];
    pixel[bgrxRed] = color.red;
    pixel[bgrxGreen] = color.green;
    pixel[bgrxBlue] = color.blue;
}

Rgb Canvas::get(int x, int y) const {
    const std::uint8_t* pixel =
        view().rowBytes(y) + static_cast<std::size_t>(x) * bgrxBytesPerPixel;
    return {pixel[bgrxRed], pixel[bgrxGreen], pixel[bgrxBlue]};
}

ImageView Canvas::view() const {
    return {width_, height_, PixelFormat::Bgrx32, stride_, std::as_bytes(std::span(bytes_)), {}};
}

CommandResult runCapturing(const std::string& command) {
    struct PipeCloser {
        void operator()(std::FILE* pipe) const { ::pclose(pipe); }
    };
    CommandResult result;
    std::unique_ptr<std::FILE, PipeCloser> pipe(::popen(command.c_str(), "r"));
    if (!pipe)
        return result;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe.release());
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}

std::string runCommand(const std::string& command) {
    CommandResult result = runCapturing(command);
    if (result.status != 0) {
        ADD_FAILURE() << "command failed (status " << result.status << "): " << command;
        return {};
    }
    return std::move(result.output);
}

bool haveProgram(const std::string& program, const std::string& package) {
    const std::string command = "command -v " + program + " >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0)
        return true;
    ADD_FAILURE() << program << " is not installed (Debian package " << package
                  << "); this check needs it as an independent reader";
    return false;
}

RgbaImage decodeWithPillow(const std::string& path) {
    RgbaImage image;
    // /usr/bin/python3: the system interpreter that has python3-pil.
    if (!haveProgram("/usr/bin/python3", "python3-pil"))
        return image;
    const std::string output =
        runCommand("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                   "im = Image.open(sys.argv[1]).convert(\"RGBA\"); "
                   "sys.stdout.buffer.write(b\"%d %d\\n\" % im.size + im.tobytes())' '" +
                   path + "'");
    const auto newline = output.find('\n');
    if (newline == std::string::npos) {
        ADD_FAILURE() << "Pillow could not read " << path;
        return image;
    }
    std::istringstream size(output.substr(0, newline));
    size >> image.width >> image.height;
    image.rgba.assign(output.begin() + static_cast<std::ptrdiff_t>(newline) + 1, output.end());
    EXPECT_EQ(image.rgba.size(),
              static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4);
    return image;
}

namespace {

void put16(std::vector<std::byte>& out, std::uint32_t v) {
    out.push_back(std::byte(v & 0xFF));
    out.push_back(std::byte(v >> 8 & 0xFF));
}

void put32(std::vector<std::byte>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<std::byte> makeBmp(const BmpRecipe& recipe) {
    const std::size_t stride =
        (static_cast<std::size_t>(recipe.width) * static_cast<std::size_t>(recipe.bits) + 31) / 32 *
        4;
    std::vector<std::byte> pixels;
    for (int row = 0; row < recipe.height; ++row) {
        const int y = recipe.topDown ? row : recipe.height - 1 - row;
        std::vector<std::byte> line(stride);
        for (int x = 0; x < recipe.width; ++x) {
            const std::uint32_t v = recipe.pixel(x, y);
            const auto bitPos = static_cast<std::size_t>(x) * static_cast<std::size_t>(recipe.bits);
            if (recipe.bits < 8) {
                const auto shift = 8 - recipe.bits - static_cast<int>(bitPos % 8);
                line[bitPos / 8] |= std::byte(v << shift & 0xFF);
            } else {
                for (int b = 0; b < recipe.bits / 8; ++b)
                    line[bitPos / 8 + static_cast<std::size_t>(b)] = std::byte(v >> (8 * b) & 0xFF);
            }
        }
        pixels.insert(pixels.end(), line.begin(), line.end());
    }
    const auto paletteBytes = static_cast<std::uint32_t>(4 * recipe.palette.size());
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    std::vector<std::byte> file;
    file.push_back(std::byte{'B'});
    file.push_back(std::byte{'M'});
    put32(file, offset + static_cast<std::uint32_t>(pixels.size()));
    put32(file, 0);
    put32(file, offset);
    put32(file, 40);
    put32(file, static_cast<std::uint32_t>(recipe.width));
    put32(file, static_cast<std::uint32_t>(recipe.topDown ? -recipe.height : recipe.height));
    put16(file, 1);
    put16(file, static_cast<std::uint32_t>(recipe.bits));
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(pixels.size()));
    put32(file, 0);
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(recipe.palette.size()));
    put32(file, 0);
    for (const Rgb& c : recipe.palette) {
        file.push_back(std::byte{c.blue});
        file.push_back(std::byte{c.green});
        file.push_back(std::byte{c.red});
        file.push_back(std::byte{0});
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

} // namespace kadrix::test
