#include "capture/create_avi.h"
#include "tool/commands.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kadrix::tool {

// kadrix-tool avi RATE OUT.avi FRAME.bmp...: assembles BMP frames into an
// uncompressed AVI clip, as the window does after a recording. A frame that
// cannot be read ends the clip and the command fails.
int runAvi(std::span<char* const> args) {
    int rate = 0;
    const std::string_view rateText = args.empty() ? std::string_view() : args[0];
    const auto [end, status] =
        std::from_chars(rateText.data(), rateText.data() + rateText.size(), rate);
    if (args.size() < 3 || status != std::errc() || end != rateText.data() + rateText.size() ||
        rate < 1) {
        std::fputs("usage: kadrix-tool avi RATE OUT.avi FRAME.bmp...\n", stderr);
        return 2;
    }
    const std::vector<std::string> frames(args.begin() + 2, args.end());
    const ClipOutcome outcome = createAvi(args[1], frames, rate);
    if (!outcome.inputError.empty()) {
        // The clip holds the frames before the one that could not be read.
        std::fprintf(stderr, "kadrix-tool avi: %s\n", outcome.inputError.c_str());
        return 1;
    }
    return 0;
}

} // namespace kadrix::tool
