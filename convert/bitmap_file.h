#pragma once

#include <QImage>
#include <string>

namespace kadrix {

// A bitmap file read as the viewer shows it, in 32-bit pixels
// (QImage::Format_RGB32). Throws kadrix::Error "Cannot open file "<path>".
// <reason>" when the file cannot be read and "Bitmap image is not valid" when
// its content is not a bitmap.
QImage readBitmapFile(const std::string& path);

} // namespace kadrix
