#include "core/picture/load_bmp.h"

#include "core/error.h"
#include "core/file.h"

#include <array>
#include <turbojpeg.h>

namespace kadrix {

void LoadedBmp::TjFree::operator()(unsigned char* pixels) const {
    tjFree(pixels);
}

LoadedBmp::LoadedBmp(const std::string& path) {
    {
        InputFile file(path);
        std::array<std::byte, 2> signature{};
        if (file.readSome(0, signature) != signature.size() ||
            signature != std::array{std::byte{'B'}, std::byte{'M'}})
            throw Error("Это не BMP формат!");
    }
    int pixelFormat = TJPF_BGRX;
    // Alignment 1: rows follow each other without padding; flags 0: top-down.
    pixels_.reset(tjLoadImage(path.c_str(), &width_, 1, &height_, &pixelFormat, 0));
    if (!pixels_)
        throw Error("Cannot load picture \"" + path + "\". " + tjGetErrorStr2(nullptr));
}

ImageView LoadedBmp::view() const {
    const std::size_t stride = static_cast<std::size_t>(width_) * bgrxBytesPerPixel;
    return ImageView{
        width_,
        height_,
        PixelFormat::Bgrx32,
        stride,
        std::as_bytes(std::span(pixels_.get(), stride * static_cast<std::size_t>(height_))),
        {}};
}

} // namespace kadrix
