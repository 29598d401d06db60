// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/create_avi.h"
#include "core/error.h"
#include "tool/commands.h"

#include <exception>
#include <string>
#include <vector>

namespace kadrix::tool {

constinit const std::string_view aviDetails =
    "Assembles the BMP frames, in the order given, into OUT.avi: one\n"
    "uncompressed video stream at RATE frames per second, as the window does\n"
    "after a recording (OpenDML past 1 GiB). A frame of another size is\n"
    "fitted to the first's; one that cannot be read ends the clip, and the\n"
    "command fails. OUT.avi is written under a temporary name and replaces an\n"
    "existing file only when complete.\n";

// kadrix-tool avi RATE OUT.avi FRAME.bmp...
int runAvi(std::span<char* const> args) {
    int rate = 0;
    if (args.empty() || !parseInt(args[0], rate) || rate < 1)
        throw UsageError("RATE must be a number of frames per second of at least 1");
    if (args.size() < 3)
        throw UsageError("a clip and at least one frame expected");
    const std::string clip = args[1];
    const std::vector<std::string> frames(args.begin() + 2, args.end());
    ClipOutcome outcome;
    try {
        outcome = createAvi(clip, frames, rate);
    } catch (const std::exception& error) {
        // A frame's failure names the frame; the rest concern the clip.
        const std::string reason = error.what();
        for (const std::string& frame : frames)
            if (reason.find(frame) != std::string::npos)
                throw;
        throw Error(fileError(clip, reason));
    }
    // The clip holds the frames before the one that could not be read.
    if (!outcome.inputError.empty())
        throw Error(outcome.inputError);
    return 0;
}

} // namespace kadrix::tool
