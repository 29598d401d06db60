// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/clip/avi_writer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

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

// A clip put together frame file by frame file as they come, as createAvi
// does with a list: the clip file is written under a temporary name beside
// clipPath from the first frame on, and renamed into place by finish().
class ClipAssembly {
public:
    // plannedFrames: how many frames may come at most, about; it sizes the
    // room for the index of a clip beyond 1 GiB. Throws
    // std::invalid_argument for a rate below 1.
    ClipAssembly(std::string clipPath, int rate, std::uint64_t plannedFrames);
    ~ClipAssembly();
    ClipAssembly(const ClipAssembly&) = delete;
    ClipAssembly& operator=(const ClipAssembly&) = delete;

    // Appends a frame file's picture; the first one sets the clip's format
    // and size (and creates the file), later ones are fitted to it. Throws
    // Error, naming the file, when the frame cannot be read (or the clip file
    // cannot be created at the first): the clip stays as it was. Throws
    // AviWriteError when the clip cannot take the frame: the clip keeps the
    // frames before it, if intact() says so.
    void append(const std::string& frame);
    // Frames in the clip so far.
    std::uint64_t frames() const;
    // Whether the frames appended so far still make a clip.
    bool intact() const;
    // Writes the index and the headers and renames the clip into place. Needs
    // a frame in the clip. Throws AviWriteError when the clip cannot be
    // written or renamed.
    void finish();

private:
    struct Layout;
    std::string clipPath_;
    std::uint32_t rate_;
    std::uint64_t plannedFrames_;
    std::unique_ptr<Layout> layout_;
    std::unique_ptr<ReplacementFile> file_;
    std::unique_ptr<AviWriter> writer_;
    std::vector<std::byte> fitted_; // a resized frame on its way into the clip
};

} // namespace kadrix
