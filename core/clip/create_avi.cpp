// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/create_avi.h"

#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_headers.h"

#include <array>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kadrix {

namespace {

// The first frame's layout, which every frame of the clip takes.
struct FrameLayout {
    std::uint32_t imageSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::vector<std::byte> format; // the file's bytes from 14 to its pixels
};

void requireLength(const InputFile& file, std::uint64_t length) {
    if (file.size() < length)
        throw Error("Read beyond end of file \"" + file.path() + "\"");
}

Error invalidHeader(const std::string& path) {
    return Error("Invalid frame header \"" + path + "\"");
}

BmpHeaders readHeaders(const InputFile& file) {
    std::array<std::byte, bmpFileHeaderSize + bmpInfoHeaderSize> head{};
    file.readExact(0, head);
    const std::optional<BmpHeaders> h = parseBmpHeaders(head);
    // The pixels must follow the whole info header, or the clip's readers
    // would take pixels for it.
    if (!h || h->width < 0 || h->height < 0 || h->pixelOffset < head.size())
        throw invalidHeader(file.path());
    return *h;
}

// Bytes of a stored row: padded to a multiple of four.
std::uint64_t rowLength(std::int32_t width, std::uint16_t bitCount) {
    return (std::uint64_t(width) * bitCount + 31) / 32 * 4;
}

FrameLayout readLayout(const InputFile& file) {
    const BmpHeaders h = readHeaders(file);
    // Image sizes of 2 GiB and more read as negative.
    if (h.imageSize == 0 || h.imageSize > std::uint32_t{std::numeric_limits<std::int32_t>::max()})
        throw invalidHeader(file.path());
    requireLength(file, std::uint64_t{h.pixelOffset} + h.imageSize);
    FrameLayout layout{.imageSize = h.imageSize,
                       .width = h.width,
                       .height = h.height,
                       .bitCount = h.bitCount,
                       .compression = h.compression,
                       .format = std::vector<std::byte>(h.pixelOffset - bmpFileHeaderSize)};
    file.readExact(bmpFileHeaderSize, layout.format);
    return layout;
}

// The byte that pads a fitted frame: black. In a picture with a colour table
// that is the index of a black entry.
std::byte blackByte(const FrameLayout& layout) {
    if (layout.bitCount != 8)
        return std::byte{0};
    const std::span<const std::byte> table = std::span(layout.format).subspan(bmpInfoHeaderSize);
    for (std::size_t entry = 0; entry + 3 <= table.size() && entry / 4 < 256; entry += 4)
        if (table[entry] == std::byte{0} && table[entry + 1] == std::byte{0} &&
            table[entry + 2] == std::byte{0})
            return static_cast<std::byte>(entry / 4);
    return std::byte{0};
}

// A later frame whose width or height differs from the first's, fitted to the
// first's size with its top left in place. Rows are stored bottom-up, so the
// top rows of both are their last rows.
void fitFrame(const InputFile& file, const BmpHeaders& h, const FrameLayout& layout,
              std::vector<std::byte>& fitted) {
    if (layout.bitCount % 8 != 0)
        throw invalidHeader(file.path());
    const std::uint64_t sourceRow = rowLength(h.width, h.bitCount);
    requireLength(file, h.pixelOffset + sourceRow * std::uint64_t(h.height));
    const std::uint64_t clipRow = rowLength(layout.width, layout.bitCount);
    const std::uint64_t sourcePixels = std::uint64_t(h.width) * h.bitCount / 8;
    const std::uint64_t clipPixels = std::uint64_t(layout.width) * layout.bitCount / 8;
    const auto used = static_cast<std::size_t>(std::min(sourcePixels, clipPixels));
    fitted.assign(layout.imageSize, blackByte(layout));
    for (std::int32_t y = 0; y < layout.height; ++y) {
        // y counts from the top; an image size short of whole rows leaves the
        // rows that do not fit out.
        const std::uint64_t to = std::uint64_t(layout.height - 1 - y) * clipRow;
        if (to + clipRow > fitted.size())
            continue;
        if (y < h.height)
            file.readExact(h.pixelOffset + std::uint64_t(h.height - 1 - y) * sourceRow,
                           std::span(fitted).subspan(static_cast<std::size_t>(to), used));
        // The row's padding is zeros, as in every frame the recorder writes.
        std::fill(fitted.begin() + static_cast<std::ptrdiff_t>(to + clipPixels),
                  fitted.begin() + static_cast<std::ptrdiff_t>(to + clipRow), std::byte{0});
    }
}

} // namespace

struct ClipAssembly::Layout : FrameLayout {};

ClipAssembly::ClipAssembly(std::string clipPath, int rate, std::uint64_t plannedFrames)
    : clipPath_(std::move(clipPath)), rate_(static_cast<std::uint32_t>(rate)),
      plannedFrames_(plannedFrames) {
    if (rate < 1)
        throw std::invalid_argument("a clip needs a rate of at least 1");
}

ClipAssembly::~ClipAssembly() = default;

void ClipAssembly::append(const std::string& frame) {
    const InputFile file(frame);
    if (!layout_) {
        auto layout = std::make_unique<Layout>(Layout{readLayout(file)});
        // An older clip of this name stays until the new one is complete.
        auto clip = std::make_unique<ReplacementFile>(clipPath_);
        writer_ = std::make_unique<AviWriter>(clip->out(),
                                              AviVideoStream{.format = layout->format,
                                                             .width = layout->width,
                                                             .height = layout->height,
                                                             .frameSize = layout->imageSize,
                                                             .rate = rate_,
                                                             .plannedFrames = plannedFrames_});
        layout_ = std::move(layout);
        file_ = std::move(clip);
    }
    const BmpHeaders h = readHeaders(file);
    if (h.bitCount != layout_->bitCount || h.compression != layout_->compression)
        throw invalidHeader(frame);
    if (h.width == layout_->width && h.height == layout_->height) {
        requireLength(file, std::uint64_t{h.pixelOffset} + layout_->imageSize);
        writer_->copyFrame(file, h.pixelOffset);
    } else {
        fitFrame(file, h, *layout_, fitted_);
        writer_->writeFrame(fitted_);
    }
}

std::uint64_t ClipAssembly::frames() const {
    return writer_ ? writer_->frames() : 0;
}

bool ClipAssembly::intact() const {
    return !writer_ || writer_->intact();
}

void ClipAssembly::finish() {
    if (frames() == 0)
        throw std::logic_error("a clip without frames");
    writer_->finish();
    try {
        file_->commit();
    } catch (const Error& error) {
        throw AviWriteError(error);
    }
}

ClipOutcome createAvi(const std::string& clipPath, std::span<const std::string> frames, int rate,
                      const ClipProgress& progress) {
    if (frames.empty() || rate < 1)
        throw std::invalid_argument("createAvi needs frames and a rate of at least 1");
    ClipAssembly clip(clipPath, rate, frames.size());
    ClipOutcome outcome;
    for (const std::string& frame : frames) {
        try {
            clip.append(frame);
        } catch (const AviWriteError&) {
            throw;
        } catch (const Error& error) {
            outcome.inputError = error.what();
            break;
        }
        ++outcome.frames;
        if (progress)
            progress(outcome.frames, frames.size());
    }
    // The first frame cannot be read, or the clip cannot be created.
    if (outcome.frames == 0)
        throw Error(outcome.inputError);
    clip.finish();
    return outcome;
}

} // namespace kadrix
