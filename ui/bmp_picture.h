// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace kadrix {

class InputFile;

// Decodes the BMP picture in an open file at its own size, in 32-bit
// pixels. The headers are checked first (checkBmpBeforeDecoding), so a
// hostile header ends in kadrix::Error naming the file, never in a huge
// allocation.
QImage decodeBmpPicture(InputFile& file);

// Decodes the picture at the largest size that fits box with its
// proportions kept: a larger picture is reduced while it is decoded, so
// that only the reduced copy and one row of the picture are held; a
// smaller one is decoded at its own size and enlarged afterwards.
QImage decodeBmpPreview(InputFile& file, QSize box);

} // namespace kadrix
