// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <string>

namespace kadrix {

// Writes a picture as an uncompressed BMP file (14-byte file header, 40-byte
// info header), creating or replacing path. Its bits per pixel follow the
// picture: 32 for Bgrx32 (the unused byte written as 0), 24 for Bgr24, 16 in
// 5-5-5 for Rgb555 and Rgb565 (converted), 8 with the palette as colour table
// for Indexed8. Rows are stored bottom-up, each padded with zeros to a
// multiple of 4 bytes.
//
// The file is written whole or not at all (core/file.h ReplacementFile): an
// older file of the name stays until the new one is complete. Throws
// kadrix::Error: "Cannot create file "<path>". <reason>" or "Cannot write
// file "<path>". <reason>", or a description of a picture that no BMP file
// can hold.
void writeBmp(const std::string& path, const ImageView& image);

class OutputFile;

// The same file's bytes written to out, for a caller that puts the file in
// place itself.
void writeBmp(OutputFile& out, const ImageView& image);

} // namespace kadrix
