#include "browser/bmp_picture.h"

#include "browser/bmp_decode_check.h"
#include "core/error.h"
#include "core/file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <array>

namespace kadrix {

QImage decodeBmpPicture(InputFile& file) {
    std::array<std::byte, bmpCheckHeadSize> head{};
    const std::size_t headSize = file.readSome(0, head);
    const BmpDecodePlan plan =
        checkBmpBeforeDecoding(std::span(head).first(headSize), file.size(), file.path());

    // Read once and decoded from memory: the bytes checked are the bytes
    // decoded, and a name that is not UTF-8 needs no conversion for Qt.
    QByteArray bytes(static_cast<qsizetype>(plan.bytesToRead), Qt::Uninitialized);
    file.readExact(0, std::as_writable_bytes(std::span(bytes.data(), bytes.size())));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    // Qt refuses pictures over 128 MiB by default, which a screenshot of a
    // large screen passes; the check above bounds what a header may ask for.
    QImageReader::setAllocationLimit(static_cast<int>(maxDecodedPictureBytes >> 20));
    QImageReader reader(&buffer, "bmp");
    QImage picture;
    if (!reader.read(&picture))
        throw Error("Bitmap image is not valid: \"" + file.path() + "\". " +
                    reader.errorString().toStdString());
    return picture;
}

} // namespace kadrix
