// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of clips for export on a file of arbitrary bytes: it must end
// in a ClipReadError or ClipFormatError, or give frames whose every row lies
// in the frame it read (AddressSanitizer watches the reads).
#include "core/clip/avi_clip_reader.h"
#include "core/clip/avi_writer.h"
#include "fuzz/shm_folder.h"

#include <algorithm>
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

// A good clip: two frames of 3 x 2 pixels of 8 bits with a colour table, so
// that the fuzzer starts from headers that pass.
std::vector<std::uint8_t> goodClip(const fs::path& folder) {
    std::vector<std::byte> format(40 + 8, std::byte{0});
    const auto put32 = [&format](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            format[at + i] = static_cast<std::byte>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 3);
    put32(8, 2);
    format[12] = std::byte{1};
    format[14] = std::byte{8};
    put32(32, 2);
    format[44] = std::byte{0xFF};
    const std::string path = (folder / "good.avi").string();
    {
        kadrix::ReplacementFile clip(path);
        kadrix::AviWriter writer(clip.out(), {format, 3, 2, 8, 10, 2});
        const std::vector<std::byte> pixels(8, std::byte{1});
        writer.writeFrame(pixels);
        writer.writeFrame(pixels);
        writer.finish();
        clip.commit();
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kadrix::fuzz::ShmFolder folder("kadrix-clip-reader-fuzz");
    static const std::vector<std::uint8_t> good = goodClip(folder.path);
    // With the first byte odd the rest of the input as it is; otherwise the
    // input laid over the good clip.
    std::vector<std::uint8_t> bytes = good;
    if (size > 0 && data[0] % 2 != 0) {
        bytes.assign(data + 1, data + size);
    } else if (size > 0) {
        bytes.resize(std::max(size, bytes.size()));
        std::copy(data + 1, data + size, bytes.begin() + 1);
    }
    const std::string clip = (folder.path / "clip.avi").string();
    kadrix::fuzz::writeFile(clip, bytes);
    try {
        kadrix::AviClipReader reader(clip);
        const kadrix::FrameLayout& layout = reader.layout();
        if (layout.frames == 0 || layout.width < 1 || layout.height < 1 || layout.rate == 0 ||
            layout.scale == 0)
            std::abort();
        const int bytesPerPixel = kadrix::bitsPerPixel(layout.format) / 8;
        std::vector<std::byte> pixels(reader.frameBytes());
        for (std::size_t i = 0; i < std::min<std::size_t>(layout.frames, 4); ++i) {
            const kadrix::FramePixels frame = reader.read(i, pixels);
            // The first and the last byte of the first and the last row.
            volatile std::byte touched = frame.top[0];
            touched =
                frame.top[frame.rowStep * (layout.height - 1) + layout.width * bytesPerPixel - 1];
            static_cast<void>(touched);
        }
    } catch (const kadrix::ClipReadError&) {
    } catch (const kadrix::ClipFormatError&) {
    }
    return 0;
}
