#pragma once

#include "capture/create_avi.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kadrix {

// Of a folder's file names, the frames that a recording of `written` frames
// wrote there ("Fr000001.bmp" on, as the naming rule spells them), in number
// order. Stray files such as "FRAME.BMP", "Fr1.bmp" or frames of a longer
// earlier recording are not among them.
std::vector<std::string> recordedFrames(std::span<const std::string> names, std::int32_t written);

// The stop step of a recording: the frames (names in folder, in order) become
// the clip (a name in folder), and the frame files that are in the finished
// clip are deleted. Frames left out of it (after one that could not be read)
// are kept, and so are all of them when the clip cannot be written: then this
// throws AviWriteError. Otherwise as createAvi.
//
// Kept frames move at once into a new subfolder named for the clip
// ("Vid000003", or "Vid000003-2" and on where that is taken), so that the
// next recording, which numbers its frames from 1 again, finds their names
// free. The error's text (or the outcome's inputError) ends with a sentence
// that says where they are: "The frames not in the clip are kept in
// "<subfolder>"." (frames that could not be moved stay in folder, and the
// sentence names it too).
ClipOutcome assembleClip(const std::string& folder, const std::string& clip,
                         std::span<const std::string> frames, int rate,
                         const ClipProgress& progress = {});

} // namespace kadrix
