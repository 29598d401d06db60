#include "convert/icon_writer.h"
#include "core/error.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <exception>

namespace kadrix::tool {

constinit const std::string_view icoDetails =
    "Writes FILE.ico beside the BMP picture: its top-left 32 x 32 pixels as one\n"
    "16-colour icon, pure white transparent, 766 bytes. The picture must be at\n"
    "least 32 pixels wide and high. An existing FILE.ico is replaced.\n";

// kadrix-tool ico FILE.bmp
int runIco(std::span<char* const> args) {
    if (args.size() != 1)
        throw UsageError("one BMP file expected");
    const std::string path = args[0];
    requireBitmap(path);
    try {
        const LoadedBmp picture(path);
        const ImageView view = picture.view();
        if (view.width < iconSide || view.height < iconSide)
            throw Error(path + ": a picture of " + std::to_string(view.width) + " x " +
                        std::to_string(view.height) + " pixels is smaller than the 32 x 32 icon");
        writeIcon(view, replaceExtension(path, ".ico"));
    } catch (const std::exception& error) {
        throw Error(fileError(path, error.what()));
    }
    return 0;
}

} // namespace kadrix::tool
