// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool's jpg and ico read any file as a BMP picture: either
// a refusal, or a picture whose pixels are all there.
#include "core/error.h"
#include "core/picture/load_bmp.h"
#include "fuzz/bmp_samples.h"
#include "fuzz/shm_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kadrix::fuzz::ShmFolder folder("kadrix-load-bmp-fuzz");
    const std::string path = (folder.path / "picture.bmp").string();
    kadrix::fuzz::writeFile(path, kadrix::fuzz::bmpBytes(data, size));
    try {
        const kadrix::LoadedBmp picture(path);
        const kadrix::ImageView view = picture.view();
        if (view.width < 1 || view.height < 1 ||
            view.pixels.size() != view.stride * static_cast<std::size_t>(view.height) ||
            view.stride != static_cast<std::size_t>(view.width) * 4)
            std::abort();
    } catch (const kadrix::Error&) {
    }
    return 0;
}
