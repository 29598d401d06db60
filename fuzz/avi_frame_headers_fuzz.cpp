// SPDX-License-Identifier: GPL-3.0-or-later
// The clip assembly on a first frame file of arbitrary bytes, listed twice:
// the headers that it reads must end in an Error or in a whole clip, and a
// failed clip leaves no file behind.
#include "core/clip/create_avi.h"
#include "fuzz/shm_folder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A good frame: 2 x 2 pixels of 8 bits with a colour table of two entries.
std::vector<std::uint8_t> goodFrame() {
    std::vector<std::uint8_t> f(54 + 8 + 8, 0);
    const auto put32 = [&f](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    f[26] = 1;
    f[28] = 8;
    put32(34, 8);
    put32(46, 2);
    f[58] = 0xFF;
    return f;
}

// The frame file: with the first byte odd the rest of the input as it is;
// otherwise the input laid over a good frame, so that the fuzzer starts from
// headers that pass and changes one field at a time.
std::vector<std::uint8_t> frameBytes(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> frame = goodFrame();
    if (size == 0)
        return frame;
    if (data[0] % 2 != 0)
        return {data + 1, data + size};
    frame.resize(std::max(size, frame.size()));
    std::copy(data + 1, data + size, frame.begin() + 1);
    return frame;
}

std::uint32_t u32(const std::array<char, 8>& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kadrix::fuzz::ShmFolder folder("kadrix-avi-fuzz");
    const std::string frame = (folder.path / "Fr000001.bmp").string();
    const std::string clip = (folder.path / "Vid000001.avi").string();
    kadrix::fuzz::writeFile(frame, frameBytes(data, size));
    const std::vector<std::string> frames = {frame, frame};
    try {
        kadrix::createAvi(clip, frames, 10);
    } catch (const kadrix::Error&) {
        // Nothing but the frame: no clip, no part of one.
        if (std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()) != 1)
            std::abort();
        return 0;
    }
    // A whole clip: one RIFF whose size covers the file.
    std::array<char, 8> header{};
    std::ifstream in(clip, std::ios::binary);
    if (!in.read(header.data(), header.size()) || u32(header, 4) + 8u != fs::file_size(clip))
        std::abort();
    fs::remove(clip);
    return 0;
}
