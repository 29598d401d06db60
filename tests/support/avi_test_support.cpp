// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/avi_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace kadrix::test {

namespace {

void put16(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::byte(v & 0xFF);
    b[at + 1] = std::byte((v >> 8) & 0xFF);
}

void put32(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

std::byte low(int v) {
    return std::byte(v & 0xFF);
}

void requireProgram(const std::string& name) {
    if (!haveProgram(name))
        throw std::runtime_error(name + " is not installed: the clip cannot be checked");
}

} // namespace

TestFrame makeFrame(int width, int height, int bits, int seed) {
    const auto stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    const std::size_t imageSize = stride * static_cast<std::size_t>(height);
    const std::size_t tableSize = bits == 8 ? 256 * 4 : 0;
    const std::size_t offset = 54 + tableSize;

    TestFrame frame;
    frame.file.assign(offset + imageSize, std::byte{0xEE}); // row padding shows as 0xEE
    std::vector<std::byte>& f = frame.file;
    f[0] = std::byte{'B'};
    f[1] = std::byte{'M'};
    put32(f, 2, static_cast<std::uint32_t>(f.size()));
    put32(f, 6, 0);
    put32(f, 10, static_cast<std::uint32_t>(offset));
    put32(f, 14, 40);
    put32(f, 18, static_cast<std::uint32_t>(width));
    put32(f, 22, static_cast<std::uint32_t>(height));
    put16(f, 26, 1);
    put16(f, 28, static_cast<std::uint32_t>(bits));
    put32(f, 30, 0); // BI_RGB
    put32(f, 34, static_cast<std::uint32_t>(imageSize));
    put32(f, 38, 2835);
    put32(f, 42, 2835);
    put32(f, 46, bits == 8 ? 256 : 0);
    put32(f, 50, 0);
    for (int k = 0; k < 256 && bits == 8; ++k) {
        const std::size_t at = 54 + static_cast<std::size_t>(k) * 4;
        f[at] = low(k);
        f[at + 1] = low(255 - k);
        f[at + 2] = low(k * 37);
        f[at + 3] = std::byte{0};
    }

    frame.pixelFormat = bits == 24 ? "bgr24" : bits == 16 ? "rgb555le" : "bgra";
    frame.alphaIgnored = bits == 32 || bits == 8;
    const int decodedBytes = bits == 24 ? 3 : bits == 16 ? 2 : 4;
    frame.frameBytes = static_cast<std::size_t>(width * height * decodedBytes);
    for (int y = 0; y < height; ++y) {
        // Row y from the top is row height - 1 - y of the file.
        const std::size_t row = offset + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int blue = x * 40 + seed * 17;
            const int green = y * 60 + seed * 5;
            const int red = x * 11 + y * 23 + seed * 71;
            const std::size_t at = row + static_cast<std::size_t>(x * bits / 8);
            switch (bits) {
            case 32:
                f[at + 3] = std::byte{0};
                [[fallthrough]];
            case 24:
                f[at] = low(blue);
                f[at + 1] = low(green);
                f[at + 2] = low(red);
                break;
            case 16:
                put16(f, at,
                      static_cast<std::uint32_t>(((red & 0xF8) << 7) | ((green & 0xF8) << 2) |
                                                 ((blue & 0xFF) >> 3)));
                break;
            case 8:
                f[at] = low(x * 7 + y * 31 + seed * 13);
                break;
            default:
                throw std::invalid_argument("no test frames of " + std::to_string(bits) + " bits");
            }
        }
    }
    // What a decoder gives: the rows top-down without their padding, colour
    // table entries (with a cleared alpha) in place of 8-bit indexes.
    frame.pixels.reserve(frame.frameBytes);
    const auto rowBytes = static_cast<std::size_t>(width * bits / 8);
    for (int y = height - 1; y >= 0; --y) {
        const auto row =
            std::span(f).subspan(offset + static_cast<std::size_t>(y) * stride, rowBytes);
        if (bits != 8) {
            frame.pixels.insert(frame.pixels.end(), row.begin(), row.end());
            continue;
        }
        for (const std::byte index : row) {
            const auto entry = f.begin() + 54 + static_cast<std::ptrdiff_t>(index) * 4;
            frame.pixels.insert(frame.pixels.end(), entry, entry + 3);
            frame.pixels.push_back(std::byte{0});
        }
    }
    return frame;
}

std::vector<std::byte> pixelsAtLayout(std::span<const std::byte> file, int width, int height) {
    const auto stride = static_cast<std::size_t>(width) * 4;
    std::vector<std::byte> pixels;
    for (int y = height - 1; y >= 0; --y) {
        const auto row = file.subspan(54 + static_cast<std::size_t>(y) * stride, stride);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    return pixels;
}

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

bool haveProgram(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

ClipInfo probeClip(const std::string& path) {
    requireProgram("ffprobe");
    std::istringstream lines(
        runCommand("ffprobe -v error -select_streams v:0 -count_packets -show_entries "
                   "stream=codec_name,width,height,r_frame_rate,nb_frames,nb_read_packets "
                   "-of default=noprint_wrappers=1 " +
                   quoted(path)));
    ClipInfo info;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "codec_name")
            info.codec = value;
        else if (key == "width")
            info.width = std::stoi(value);
        else if (key == "height")
            info.height = std::stoi(value);
        else if (key == "r_frame_rate")
            info.rate = value;
        else if (key == "nb_frames")
            info.headerFrames = value == "N/A" ? -1 : std::stol(value);
        else if (key == "nb_read_packets")
            info.packets = std::stol(value);
    }
    return info;
}

std::vector<std::byte> decodeWithFfmpeg(const std::string& path, const std::string& pixelFormat,
                                        const std::string& inputOptions) {
    requireProgram("ffmpeg");
    const std::string raw = runCommand("ffmpeg -v error " + inputOptions + " -i " + quoted(path) +
                                       " -f rawvideo -pix_fmt " + pixelFormat + " -");
    std::vector<std::byte> bytes(raw.size());
    std::transform(raw.begin(), raw.end(), bytes.begin(),
                   [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

std::vector<RiffChunk> riffChunks(std::istream& file, std::uint64_t begin, std::uint64_t end) {
    std::vector<RiffChunk> chunks;
    for (std::uint64_t at = begin; at + 8 <= end;) {
        const std::vector<std::byte> header = readAt(file, at, 12);
        RiffChunk chunk{textAt(header, 0), "", at, u32At(header, 4)};
        if (chunk.id == "RIFF" || chunk.id == "LIST")
            chunk.type = textAt(header, 8);
        chunks.push_back(chunk);
        // A clip with wrong sizes must not keep the walk going for long.
        if (chunks.size() > 100000)
            throw std::runtime_error("more than 100000 chunks: sizes are wrong");
        at += 8 + std::uint64_t{chunk.size} + chunk.size % 2;
    }
    return chunks;
}

std::vector<std::byte> readAt(std::istream& file, std::uint64_t offset, std::size_t count) {
    std::vector<std::byte> bytes(count);
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    if (file.gcount() != static_cast<std::streamsize>(count))
        throw std::runtime_error("file ends before offset " + std::to_string(offset + count));
    return bytes;
}

std::string textAt(std::span<const std::byte> bytes, std::size_t at) {
    return {reinterpret_cast<const char*>(bytes.data() + at), 4};
}

std::vector<std::byte> withoutAlpha(std::vector<std::byte> bgra) {
    for (std::size_t i = 3; i < bgra.size(); i += 4)
        bgra[i] = std::byte{0};
    return bgra;
}

} // namespace kadrix::test
