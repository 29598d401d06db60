#include "convert/emf_writer.h"
#include "tool/commands.h"

#include <cstdio>

namespace kadrix::tool {

// kadrix-tool emf FILE.bmp: writes FILE.emf, the picture as an enhanced
// metafile. The tool asks no display for its size: the reference device is
// the 96-dpi default.
int runEmf(std::span<char* const> args) {
    if (args.size() != 1) {
        std::fputs("usage: kadrix-tool emf FILE.bmp\n", stderr);
        return 2;
    }
    bmp2emf(args[0], defaultReferenceDevice);
    return 0;
}

} // namespace kadrix::tool
