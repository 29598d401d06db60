#pragma once

#include "core/picture/image_view.h"

#include <memory>
#include <string>

namespace kadrix {

// A BMP file decoded by libjpeg-turbo's own BMP loader (tjLoadImage) into
// the 32-bit pixels the encoders read. The command-line tool reads its
// pictures this way; the GUI decodes with Qt instead.
class LoadedBmp {
public:
    // Throws "Это не BMP формат!" when the file's leading bytes are not a
    // bitmap's, and the loader's text when it cannot decode the picture.
    explicit LoadedBmp(const std::string& path);

    ImageView view() const;

private:
    struct TjFree {
        void operator()(unsigned char* pixels) const;
    };
    std::unique_ptr<unsigned char, TjFree> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace kadrix
