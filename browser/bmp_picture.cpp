#include "browser/bmp_picture.h"

#include "browser/bmp_decode_check.h"
#include "core/error.h"
#include "core/file.h"

#include <QIODevice>
#include <QImageReader>
#include <algorithm>
#include <array>

namespace kadrix {

namespace {

// The checked part of an open file as a device for Qt's decoder: reads go
// straight to the file, never past the bytes the check allowed, and a name
// that is not UTF-8 needs no conversion for Qt.
class CheckedBytes : public QIODevice {
public:
    CheckedBytes(InputFile& file, std::uint64_t size) : file_(file), size_(size) {
        // Unbuffered: the decoder reads whole rows, which need no second copy.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return static_cast<qint64>(size_); }
    bool seek(qint64 position) override {
        if (position < 0 || static_cast<std::uint64_t>(position) > size_)
            return false;
        offset_ = static_cast<std::uint64_t>(position);
        return QIODevice::seek(position);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const std::uint64_t wanted = std::min(static_cast<std::uint64_t>(maxSize), size_ - offset_);
        const std::size_t n = file_.readSome(
            offset_, std::as_writable_bytes(std::span(data, static_cast<std::size_t>(wanted))));
        offset_ += n;
        return static_cast<qint64>(n);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    InputFile& file_;
    std::uint64_t size_;
    std::uint64_t offset_ = 0;
};

} // namespace

QImage decodeBmpPicture(InputFile& file) {
    std::array<std::byte, bmpCheckHeadSize> head{};
    const std::size_t headSize = file.readSome(0, head);
    const BmpDecodePlan plan =
        checkBmpBeforeDecoding(std::span(head).first(headSize), file.size(), file.path());

    CheckedBytes bytes(file, plan.bytesToRead);

    // Qt refuses pictures over 128 MiB by default, which a screenshot of a
    // large screen passes; the check above bounds what a header may ask for.
    QImageReader::setAllocationLimit(static_cast<int>(maxDecodedPictureBytes >> 20));
    QImageReader reader(&bytes, "bmp");
    QImage picture;
    if (!reader.read(&picture))
        throw Error("Bitmap image is not valid: \"" + file.path() + "\". " +
                    reader.errorString().toStdString());
    return picture;
}

} // namespace kadrix
