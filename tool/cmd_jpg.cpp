#include "convert/jpeg_encoder.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <cstdio>

namespace kadrix::tool {

// kadrix-tool jpg FILE.bmp: writes FILE.jpg beside it with the program's
// JPEG settings.
int runJpg(std::span<char* const> args) {
    if (args.size() != 1) {
        std::fputs("usage: kadrix-tool jpg FILE.bmp\n", stderr);
        return 2;
    }
    const LoadedBmp picture(args[0]);
    writeJpeg(picture.view(), replaceExtension(args[0], ".jpg"));
    return 0;
}

} // namespace kadrix::tool
