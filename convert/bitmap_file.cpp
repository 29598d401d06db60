#include "convert/bitmap_file.h"

#include "core/error.h"
#include "core/file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <span>

namespace kadrix {

namespace {

// Qt's reader refuses pictures over 128 MB by default, which an 8K
// screenshot passes; this bound still keeps a hostile header from asking
// for more memory than a desktop has.
constexpr int allocationLimitMb = 1024;

} // namespace

QImage readBitmapFile(const std::string& path) {
    InputFile file(path);
    QByteArray bytes(static_cast<qsizetype>(file.size()), Qt::Uninitialized);
    file.readExact(0, std::as_writable_bytes(std::span(bytes.data(), bytes.size())));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "BMP");
    reader.setAllocationLimit(allocationLimitMb);
    QImage picture;
    if (!reader.read(&picture))
        throw Error("Bitmap image is not valid");
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace kadrix
