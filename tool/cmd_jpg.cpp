// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/jpeg_encoder.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <string>

namespace kadrix::tool {

constinit const std::string_view jpgDetails =
    "Writes FILE.jpg beside the BMP picture with the program's JPEG settings:\n"
    "quality 90, baseline. An existing FILE.jpg is replaced,\n"
    "never the picture itself.\n";

// kadrix-tool jpg FILE.bmp
int runJpg(std::span<char* const> args) {
    return convertBitmap(args, ".jpg", [](const std::string& path) {
        const LoadedBmp picture(path);
        writeJpeg(picture.view(), replaceExtension(path, ".jpg"));
    });
}

} // namespace kadrix::tool
