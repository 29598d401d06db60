#include "convert/emf_writer.h"
#include "core/error.h"
#include "tool/commands.h"

#include <exception>

namespace kadrix::tool {

constinit const std::string_view emfDetails =
    "Writes FILE.emf beside the BMP picture: an enhanced metafile that draws the\n"
    "picture's own pixels 1:1, recorded for a 96-dpi screen (the tool asks no\n"
    "display for its size). An existing FILE.emf is replaced.\n";

// kadrix-tool emf FILE.bmp
int runEmf(std::span<char* const> args) {
    if (args.size() != 1)
        throw UsageError("one BMP file expected");
    const std::string path = args[0];
    requireBitmap(path);
    try {
        bmp2emf(path, defaultReferenceDevice);
    } catch (const std::exception& error) {
        throw Error(fileError(path, error.what()));
    }
    return 0;
}

} // namespace kadrix::tool
