#include "capture/create_avi.h"

#include "core/error.h"
#include "core/file.h"
#include "core/picture/bmp_headers.h"

#include <array>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace kadrix {

namespace {

// The first frame's layout, at which every frame is read.
struct FrameLayout {
    std::uint32_t pixelOffset = 0;
    std::uint32_t imageSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::byte> format; // the file's bytes from 14 to pixelOffset
};

void requireLength(const InputFile& file, std::uint64_t length) {
    if (file.size() < length)
        throw Error("Read beyond end of file \"" + file.path() + "\"");
}

FrameLayout readLayout(const std::string& path) {
    InputFile file(path);
    std::array<std::byte, bmpFileHeaderSize + bmpInfoHeaderSize> head{};
    file.readExact(0, head);
    const std::optional<BmpHeaders> h = parseBmpHeaders(head);
    // The format must hold the whole info header, or the clip's readers would
    // take pixels for it. Image sizes of 2 GiB and more read as negative.
    if (!h || h->width < 0 || h->height < 0 || h->imageSize == 0 ||
        h->imageSize > std::uint32_t{std::numeric_limits<std::int32_t>::max()} ||
        h->pixelOffset < head.size())
        throw Error("Invalid frame header \"" + path + "\"");
    requireLength(file, std::uint64_t{h->pixelOffset} + h->imageSize);
    FrameLayout layout{.pixelOffset = h->pixelOffset,
                       .imageSize = h->imageSize,
                       .width = h->width,
                       .height = h->height,
                       .format = std::vector<std::byte>(h->pixelOffset - bmpFileHeaderSize)};
    file.readExact(bmpFileHeaderSize, layout.format);
    return layout;
}

} // namespace

void createAvi(const std::string& clipPath, std::span<const std::string> frames, int rate) {
    if (frames.empty() || rate < 1)
        throw std::invalid_argument("createAvi needs frames and a rate of at least 1");
    // An old clip of this name goes first, so that it is not taken for the
    // new one when this one fails; where it cannot be deleted, the rename
    // below replaces it.
    ::unlink(clipPath.c_str());
    const FrameLayout layout = readLayout(frames.front());

    ReplacementFile clip(clipPath);
    AviWriter writer(clip.out(), AviVideoStream{.format = layout.format,
                                                .width = layout.width,
                                                .height = layout.height,
                                                .frameSize = layout.imageSize,
                                                .rate = static_cast<std::uint32_t>(rate),
                                                .plannedFrames = frames.size()});
    const std::uint64_t frameEnd = std::uint64_t{layout.pixelOffset} + layout.imageSize;
    for (const std::string& frame : frames) {
        InputFile file(frame);
        requireLength(file, frameEnd);
        writer.copyFrame(file, layout.pixelOffset);
    }
    writer.finish();
    try {
        clip.out().close();
    } catch (const Error&) {
        throw AviWriteError();
    }
    clip.commit();
}

} // namespace kadrix
