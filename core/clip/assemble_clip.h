// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/create_avi.h"

#include <span>
#include <string>
#include <vector>

namespace kadrix {

// The stop step of a recording: the frames (names in folder, in order) become
// the clip (a name in folder), and the frame files that are in the finished
// clip are deleted. Frames left out of it (after one that could not be read)
// are kept, and so are all of them when the clip cannot be written: then this
// throws AviWriteError. Otherwise as createAvi.
//
// Kept frames move at once into a new subfolder named for the clip
// ("Vid000003", or "Vid000003-2" and on where that is taken), out of the way
// of the next recording, which numbers its frames from 1 again. The error's text (or the outcome's
// inputError) ends with a sentence that says where they are: "The frames not in the clip are kept
// in
// "<subfolder>"." (frames that could not be moved stay in folder, and the
// sentence names it too).
ClipOutcome assembleClip(const std::string& folder, const std::string& clip,
                         std::span<const std::string> frames, int rate,
                         const ClipProgress& progress = {});

} // namespace kadrix
