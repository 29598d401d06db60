#include "capture/create_avi.h"
#include "core/error.h"
#include "tool/commands.h"

#include <charconv>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace kadrix::tool {

constinit const std::string_view aviDetails =
    "Assembles the BMP frames, in the order given, into OUT.avi: one\n"
    "uncompressed video stream at RATE frames per second, as the window does\n"
    "after a recording (OpenDML past 1 GiB). Every frame has the first's size\n"
    "and depth. OUT.avi is written under a temporary name and replaces an\n"
    "existing file only when complete.\n";

// kadrix-tool avi RATE OUT.avi FRAME.bmp...
int runAvi(std::span<char* const> args) {
    int rate = 0;
    const std::string_view rateText = args.empty() ? std::string_view() : args[0];
    const auto [end, status] =
        std::from_chars(rateText.data(), rateText.data() + rateText.size(), rate);
    if (status != std::errc() || end != rateText.data() + rateText.size() || rate < 1)
        throw UsageError("RATE must be a number of frames per second of at least 1");
    if (args.size() < 3)
        throw UsageError("a clip and at least one frame expected");
    const std::string clip = args[1];
    const std::vector<std::string> frames(args.begin() + 2, args.end());
    try {
        createAvi(clip, frames, rate);
    } catch (const std::exception& error) {
        // A frame's failure names the frame; the rest concern the clip.
        const std::string reason = error.what();
        for (const std::string& frame : frames)
            if (reason.find(frame) != std::string::npos)
                throw;
        throw Error(fileError(clip, reason));
    }
    return 0;
}

} // namespace kadrix::tool
