// SPDX-License-Identifier: GPL-3.0-or-later
// The metafile conversion carries the DIB of any file named .bmp: whatever
// its header fields say, it must neither read outside the file nor write a
// record that points outside itself.
#include "core/convert/emf_writer.h"
#include "core/error.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

std::uint32_t u32(const std::vector<std::byte>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    std::vector<std::byte> emf;
    try {
        emf = kadrix::metafileFromBmp(bytes, kadrix::defaultReferenceDevice);
    } catch (const kadrix::Error&) {
        return 0;
    }
    // Header, drawing and end records must tile the stream exactly, and the
    // drawing's DIB parts must lie inside its record.
    const std::size_t drawing = u32(emf, 4);
    const std::uint32_t drawingSize = u32(emf, drawing + 4);
    if (u32(emf, 48) != emf.size() || drawing + drawingSize + 20 != emf.size() ||
        u32(emf, drawing + 48) + std::uint64_t{u32(emf, drawing + 52)} > drawingSize ||
        u32(emf, drawing + 56) + std::uint64_t{u32(emf, drawing + 60)} > drawingSize)
        __builtin_trap();
    return 0;
}
