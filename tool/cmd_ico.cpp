#include "convert/icon_writer.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <cstdio>

namespace kadrix::tool {

// kadrix-tool ico FILE.bmp: writes FILE.ico, the 32 x 32 icon cut from the
// picture's top-left corner.
int runIco(std::span<char* const> args) {
    if (args.size() != 1) {
        std::fputs("usage: kadrix-tool ico FILE.bmp\n", stderr);
        return 2;
    }
    const LoadedBmp picture(args[0]);
    writeIcon(picture.view(), replaceExtension(args[0], ".ico"));
    return 0;
}

} // namespace kadrix::tool
