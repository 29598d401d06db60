// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/bmp_picture.h"

#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_decoder.h"

#include <algorithm>
#include <array>

namespace kadrix {

namespace {

// Decodes into a 32-bit picture of the size that fitTo gives for the
// picture's own size.
template <typename FitTo> QImage decodeInto(InputFile& file, FitTo fitTo) {
    std::array<std::byte, bmpCheckHeadSize> head{};
    const std::size_t headSize = file.readSome(0, head);
    const BmpDecodePlan plan =
        checkBmpBeforeDecoding(std::span(head).first(headSize), file.size(), file.path());
    const PictureSize target = fitTo(PictureSize{plan.width, plan.height});
    QImage picture(target.width, target.height, QImage::Format_RGB32);
    if (picture.isNull())
        throw Error("Рисунок \"" + file.path() + "\" не открыт: не хватает памяти");
    // Rows of 32-bit pixels have no padding.
    const std::span pixels(reinterpret_cast<std::uint32_t*>(picture.bits()),
                           static_cast<std::size_t>(picture.sizeInBytes()) / 4);
    decodeBmp(
        plan,
        [&file](std::uint64_t offset, std::span<std::byte> bytes) {
            return file.readSome(offset, bytes);
        },
        target, pixels, file.path());
    return picture;
}

} // namespace

QImage decodeBmpPicture(InputFile& file) {
    return decodeInto(file, [](PictureSize own) { return own; });
}

QImage decodeBmpPreview(InputFile& file, QSize box) {
    const PictureSize boxSize{std::max(box.width(), 1), std::max(box.height(), 1)};
    const QImage decoded =
        decodeInto(file, [boxSize](PictureSize own) { return fittedSize(own, boxSize); });
    const QSize shown = decoded.size().scaled(box, Qt::KeepAspectRatio);
    if (shown.width() <= decoded.width() || shown.height() <= decoded.height())
        return decoded;
    return decoded.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace kadrix
