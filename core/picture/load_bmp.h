// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/bmp_decoder.h"
#include "core/picture/image_view.h"

#include <string>

namespace kadrix {

// A BMP file decoded at its own size into the 32-bit pixels the encoders
// read. The command-line tool reads its pictures this way, checked as the
// preview checks them, so that no header takes more than the picture limit.
class LoadedBmp {
public:
    // Throws "Это не BMP формат!" when the file's leading bytes are not a
    // bitmap's, and the check's or the decoder's reason when it cannot
    // decode the picture.
    explicit LoadedBmp(const std::string& path);

    ImageView view() const;

private:
    DecodedBmp picture_;
};

} // namespace kadrix
