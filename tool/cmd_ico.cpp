// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/icon_writer.h"
#include "core/error.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <string>

namespace kadrix::tool {

constinit const std::string_view icoDetails =
    "Writes FILE.ico beside the BMP picture: its top-left 32 x 32 pixels as one\n"
    "16-colour icon, pure white transparent, 766 bytes. The picture must be at\n"
    "least 32 pixels wide and high. An existing FILE.ico is replaced,\n"
    "never the picture itself.\n";

// kadrix-tool ico FILE.bmp
int runIco(std::span<char* const> args) {
    return convertBitmap(args, ".ico", [](const std::string& path) {
        const LoadedBmp picture(path);
        const ImageView view = picture.view();
        if (view.width < iconSide || view.height < iconSide)
            throw Error(path + ": a picture of " + std::to_string(view.width) + " x " +
                        std::to_string(view.height) + " pixels is smaller than the 32 x 32 icon");
        writeIcon(view, replaceExtension(path, ".ico"));
    });
}

} // namespace kadrix::tool
