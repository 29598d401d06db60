// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/create_avi.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kadrix {

// A recording's clip, put together while the recording goes: each frame file
// goes into the clip (under a temporary name beside it) once it is on disk,
// so that at the end only the index and the headers remain to be written.
class RecordingClip {
public:
    // The clip is a name in folder; plannedFrames as for ClipAssembly.
    RecordingClip(std::string folder, std::string clip, int rate, std::uint64_t plannedFrames);

    // A frame (a path in folder) is on disk: its picture goes into the clip.
    // The first that cannot go in (it cannot be read, or the clip cannot take
    // it) ends the clip before it, and later frames stay out too.
    void add(const std::string& framePath);

    // The stop step, once add() has had the recording's last frame. frames
    // are the recording's frames on disk, in order, those add() was given,
    // as names in folder.
    // The clip is finished and renamed into place; the frames in it are the
    // outcome's first ones, which the caller deletes (until the clip is
    // complete they are the user's only copy).
    //
    // Frames left out of the clip are kept, and so are all of them when no
    // clip comes of the recording: then this throws, AviWriteError where the
    // clip could not be written, Error where its first frame could not be
    // read or the clip file not be created. Kept frames move at once into a
    // new subfolder named for the clip ("Vid000003", or "Vid000003-2" and on
    // where that is taken), out of the way of the next recording, which
    // numbers its frames from 1 again. The error's text (or the outcome's
    // inputError, which also says why the rest is missing) ends with a
    // sentence that says where they are: "The frames not in the clip are
    // kept in "<subfolder>"." (frames that could not be moved stay in folder,
    // and the sentence names it too).
    ClipOutcome finish(std::span<const std::string> frames);

private:
    std::string folder_;
    std::string clip_;
    ClipAssembly assembly_;
    std::string error_; // why the clip ended early
    bool writeFailed_ = false;
    bool ended_ = false;
};

} // namespace kadrix
