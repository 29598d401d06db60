// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/byte_fields.h"
#include "tests/support/convert_test_support.h"
#include "tests/support/test_files.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <vector>

namespace kadrix::test {

// A BMP frame made for a test: the whole file, and its pixels as ffmpeg
// decodes them in pixelFormat, rows top-down.
struct TestFrame {
    std::vector<std::byte> file;
    std::vector<std::byte> pixels;
    std::string pixelFormat;    // bgra, bgr24, rgb555le
    bool alphaIgnored = false;  // bgra whose fourth byte carries no colour
    std::size_t frameBytes = 0; // bytes of one decoded frame
};

// A bottom-up BI_RGB frame of 32, 24, 16 (5-5-5) or 8 bits (with a colour
// table of 256 entries) whose colours depend on x, y and seed, so that
// frames, rows, columns and channels all differ.
TestFrame makeFrame(int width, int height, int bits, int seed);

// The 32-bit frame that the clip holds when a later frame file's bytes are
// taken at a first frame's layout: imageSize bytes from offset 54 as rows of
// width pixels, decoded as bgra.
std::vector<std::byte> pixelsAtLayout(std::span<const std::byte> file, int width, int height);

// Single-quoted for the shell.
std::string quoted(const std::string& text);

// Whether a program is on the PATH.
bool haveProgram(const std::string& name);

// What ffprobe reads from a clip's video stream.
struct ClipInfo {
    std::string codec;
    int width = 0;
    int height = 0;
    std::string rate;       // r_frame_rate, e.g. "10/1"
    long headerFrames = -1; // nb_frames: the frame count in the headers
    long packets = -1;      // nb_read_packets: the frames actually read
};
ClipInfo probeClip(const std::string& path);

// Every frame of a clip decoded by ffmpeg in pixelFormat, one after another.
std::vector<std::byte> decodeWithFfmpeg(const std::string& path, const std::string& pixelFormat,
                                        const std::string& inputOptions = "");

// A chunk of a RIFF file: its id, for RIFF and LIST chunks also the type,
// where it starts and its size field.
struct RiffChunk {
    std::string id;
    std::string type;
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    // "id" or "id type", e.g. "LIST movi".
    std::string name() const { return type.empty() ? id : id + " " + type; }
};

// The chunks one after another in [begin, end) of a file.
std::vector<RiffChunk> riffChunks(std::istream& file, std::uint64_t begin, std::uint64_t end);

// count bytes of a file from offset; throws when the file is shorter.
std::vector<std::byte> readAt(std::istream& file, std::uint64_t offset, std::size_t count);
std::string textAt(std::span<const std::byte> bytes, std::size_t at);

// Clears every fourth byte (the alpha of bgra) where it carries no colour.
std::vector<std::byte> withoutAlpha(std::vector<std::byte> bgra);

} // namespace kadrix::test
