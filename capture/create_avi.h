#pragma once

#include "capture/avi_writer.h"

#include <span>
#include <string>

namespace kadrix {

// Writes the frame files (BMP pictures, in list order) as one uncompressed
// AVI clip at `rate` frames per second. Every frame is taken at the first
// frame's layout: its pixel offset, its image size and its format (the bytes
// between the file header and the pixels); a larger later frame is cut to
// that size.
//
// A file of the clip's name is deleted first. The clip is written under a
// temporary name beside it and renamed into place when complete, so after a
// failure there is no file of the clip's name.
//
// Throws AviWriteError ("Error during Write AVI File") when the clip cannot
// be written. Throws Error, naming the file, when a frame file cannot be
// read or is shorter than the first frame's layout, when the first frame's
// header is unusable (not "BM", negative width or height, image size zero or
// 2 GiB and more, pixels starting inside the info header), and when the clip
// file cannot be created (the error names the temporary file beside it).
// Throws std::invalid_argument for an empty list or a rate below 1.
void createAvi(const std::string& clipPath, std::span<const std::string> frames, int rate);

} // namespace kadrix
