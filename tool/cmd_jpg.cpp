#include "convert/jpeg_encoder.h"
#include "core/error.h"
#include "core/path.h"
#include "core/picture/load_bmp.h"
#include "tool/commands.h"

#include <exception>

namespace kadrix::tool {

constinit const std::string_view jpgDetails =
    "Writes FILE.jpg beside the BMP picture with the program's JPEG settings:\n"
    "quality 90, baseline. An existing FILE.jpg is replaced.\n";

// kadrix-tool jpg FILE.bmp
int runJpg(std::span<char* const> args) {
    if (args.size() != 1)
        throw UsageError("one BMP file expected");
    const std::string path = args[0];
    requireBitmap(path);
    try {
        const LoadedBmp picture(path);
        writeJpeg(picture.view(), replaceExtension(path, ".jpg"));
    } catch (const std::exception& error) {
        throw Error(fileError(path, error.what()));
    }
    return 0;
}

} // namespace kadrix::tool
