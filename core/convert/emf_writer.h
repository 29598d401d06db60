// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace kadrix {

// The device a metafile is recorded for: the screen, by its size in pixels
// and in millimetres. Each value lies in 1..65535, the range X11 reports.
struct ReferenceDevice {
    int widthPixels = 0;
    int heightPixels = 0;
    int widthMillimeters = 0;
    int heightMillimeters = 0;
};

// For a machine without a display, or a screen that reports no physical
// size: 1920 x 1440 pixels on 508 x 381 mm, exactly 96 dots per inch both
// ways.
inline constexpr ReferenceDevice defaultReferenceDevice{1920, 1440, 508, 381};

// True when every value lies in 1..65535.
bool isUsableReferenceDevice(const ReferenceDevice& device);

// The enhanced metafile (EMF) of the picture in a BMP file: the header with
// the reference device and the frame (0, 0, W', H') in hundredths of a
// millimetre, W' = W x widthMillimeters x 100 / widthPixels rounded half away
// from zero (H' likewise), no description; one EMR_STRETCHDIBITS that draws
// the whole picture 1:1 at (0, 0) with SRCCOPY and carries the file's own
// DIB (info header, masks, colour table, pixels) unchanged; EMR_EOF.
// Throws kadrix::Error "Bitmap image is not valid" when the bytes are not a
// complete BMP picture of at least one pixel, uncompressed or RLE, with a
// Windows info header (40, 108 or 124 bytes).
std::vector<std::byte> metafileFromBmp(std::span<const std::byte> bmpFile,
                                       const ReferenceDevice& screen);

// Reads the BMP file at path and writes its metafile beside it, under the
// same name with the extension ".emf", creating or replacing the file. The
// file is checked first as the preview checks it (checkBmpBeforeDecoding),
// so a picture beyond the picture limit is refused, and only the bytes up to
// the end of its pixels are read. Errors name the file: "Bitmap image is
// not valid: "<path>"".
void bmp2emf(const std::string& path, const ReferenceDevice& screen);

} // namespace kadrix
