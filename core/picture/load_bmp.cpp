// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/picture/load_bmp.h"

#include "core/error.h"
#include "core/file.h"

#include <array>

namespace kadrix {

LoadedBmp::LoadedBmp(const std::string& path) {
    InputFile file(path);
    std::array<std::byte, 2> signature{};
    if (file.readSome(0, signature) != signature.size() ||
        signature != std::array{std::byte{'B'}, std::byte{'M'}})
        throw Error("Это не BMP формат!");
    picture_ = decodeBmpFile(file);
}

ImageView LoadedBmp::view() const {
    const std::size_t stride = static_cast<std::size_t>(picture_.size.width) * bgrxBytesPerPixel;
    return ImageView{picture_.size.width,
                     picture_.size.height,
                     PixelFormat::Bgrx32,
                     stride,
                     std::as_bytes(std::span(picture_.pixels)),
                     {}};
}

} // namespace kadrix
