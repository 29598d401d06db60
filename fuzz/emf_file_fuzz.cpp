// SPDX-License-Identifier: GPL-3.0-or-later
// The metafile conversion on any file named .bmp, read from the disk as the
// "emf" button reads it: either a refusal that leaves no metafile, or a
// metafile whose size field covers the file.
#include "core/convert/emf_writer.h"
#include "core/error.h"
#include "fuzz/bmp_samples.h"
#include "fuzz/shm_folder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kadrix::fuzz::ShmFolder folder("kadrix-emf-fuzz");
    const std::filesystem::path picture = folder.path / "picture.bmp";
    const std::filesystem::path metafile = folder.path / "picture.emf";
    kadrix::fuzz::writeFile(picture.string(), kadrix::fuzz::bmpBytes(data, size));
    try {
        kadrix::bmp2emf(picture.string(), kadrix::defaultReferenceDevice);
    } catch (const kadrix::Error&) {
        if (std::filesystem::exists(metafile))
            std::abort();
        return 0;
    }
    std::array<char, 52> header{};
    std::ifstream in(metafile, std::ios::binary);
    if (!in.read(header.data(), header.size()))
        std::abort();
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < 4; ++i)
        total |= std::uint32_t{static_cast<unsigned char>(header[48 + i])} << (8 * i);
    if (total != std::filesystem::file_size(metafile))
        std::abort();
    std::filesystem::remove(metafile);
    return 0;
}
