// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/emf_writer.h"
#include "tool/commands.h"

#include <string>

namespace kadrix::tool {

constinit const std::string_view emfDetails =
    "Writes FILE.emf beside the BMP picture: an enhanced metafile that draws the\n"
    "picture's own pixels 1:1, recorded for a 96-dpi screen (the tool asks no\n"
    "display for its size). An existing FILE.emf is replaced,\n"
    "never the picture itself.\n";

// kadrix-tool emf FILE.bmp
int runEmf(std::span<char* const> args) {
    return convertBitmap(args, ".emf",
                         [](const std::string& path) { bmp2emf(path, defaultReferenceDevice); });
}

} // namespace kadrix::tool
