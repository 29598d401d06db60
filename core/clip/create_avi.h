// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/avi_writer.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>

namespace kadrix {

// Told after each frame: frames in the clip so far, frames listed.
using ClipProgress = std::function<void(std::size_t done, std::size_t total)>;

// What went into a clip.
struct ClipOutcome {
    std::size_t frames = 0; // the first frames of the list, all of them unless...
    std::string inputError; // ...the frame after them could not be read: why
};

// Writes the frame files (BMP pictures, in list order) as one uncompressed
// AVI clip at `rate` frames per second. The first frame sets the clip's
// format (the bytes between the file header and the pixels) and size. A later
// frame of another width or height (the frame was resized while recording)
// is fitted to that size, anchored at its top left: cropped, or padded with
// black.
//
// A frame that cannot be read (missing, cut short, not a BMP, another pixel
// depth) ends the clip before it: the frames before it make a complete clip,
// and the outcome says why the rest is missing.
//
// The clip is written under a temporary name beside it and renamed into
// place when complete, replacing a file of its name only then: after a
// failure an older file of the name is as it was.
//
// Throws AviWriteError ("Error during Write AVI File" and the cause, naming
// the file and the reason) when the clip cannot be written. Throws Error,
// naming the file, when the first frame cannot be read or its header is
// unusable (not "BM", negative width or height, image size zero or 2 GiB and
// more, pixels starting inside the info header), and when the clip file
// cannot be created. Throws std::invalid_argument for an empty list or a
// rate below 1.
ClipOutcome createAvi(const std::string& clipPath, std::span<const std::string> frames, int rate,
                      const ClipProgress& progress = {});

} // namespace kadrix
