#pragma once

#include <QImage>

namespace kadrix {

class InputFile;

// Decodes the BMP picture in an open file at its own size: palette, 16-bit,
// 24-bit and 32-bit pixels, top-down rows, RLE4 and RLE8. The headers are
// checked first (checkBmpBeforeDecoding), so a hostile header ends in
// kadrix::Error naming the file, never in a huge allocation; a picture the
// decoder refuses ends the same way with its reason.
QImage decodeBmpPicture(InputFile& file);

} // namespace kadrix
