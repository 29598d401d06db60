// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/error.h"
#include "core/file.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kadrix {

// A failure to write the clip file (disk full, file size limit, I/O error),
// as opposed to a frame that cannot be read.
class AviWriteError : public Error {
public:
    // "Error during Write AVI File", then on a line of its own the cause,
    // which names the file and the system's reason.
    explicit AviWriteError(const Error& cause)
        : Error(std::string("Error during Write AVI File\n") + cause.what()) {}
    // The same failure, with more said about it.
    explicit AviWriteError(const std::string& text) : Error(text) {}
};

// The one uncompressed video stream of a clip. Every frame has the same size.
struct AviVideoStream {
    // The stream format: a BITMAPINFOHEADER with the colour masks or colour
    // table that follow it.
    std::span<const std::byte> format;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t frameSize = 0; // bytes of pixel data per frame
    std::uint32_t rate = 0;      // frames per second, at least 1
    // How many frames the caller will write: it sizes the room reserved in
    // the header for the index of a clip beyond the 1 GiB RIFF limit.
    std::uint64_t plannedFrames = 0;
};

// Writes a RIFF AVI file frame by frame with constant memory: '00db' chunks,
// every frame a key frame. A clip that stays within one 1 GiB RIFF is plain
// AVI 1.0 with an idx1 index; a larger one continues in 'AVIX' RIFFs with
// OpenDML indexes ('indx' + 'ix00', 'dmlh'), keeping idx1 for the first RIFF
// so that old players still play the start.
//
// Write failures throw AviWriteError. A frame goes in whole or not at all:
// when appending one fails, the file is cut back to the frames before it,
// which finish() can still make a complete clip of (unless even the cutting
// back failed: then intact() is false and the file must be discarded). After
// any other failure the file is incomplete and must be discarded.
class AviWriter {
public:
    // Writes the headers. Throws Error when a single frame with this format
    // cannot fit in a RIFF chunk, std::invalid_argument for a rate of 0.
    AviWriter(OutputFile& out, const AviVideoStream& stream);

    // Appends the next frame: stream.frameSize bytes of `source` from
    // `offset`, which the source must hold.
    void copyFrame(const InputFile& source, std::uint64_t offset);
    // Appends the next frame from memory: exactly stream.frameSize bytes.
    void writeFrame(std::span<const std::byte> pixels);

    // Writes the indexes and the final sizes and counts.
    void finish();

    std::uint64_t frames() const { return frames_; }
    bool intact() const { return intact_; }

private:
    struct Riff {
        std::uint64_t start = 0;     // offset of "RIFF"
        std::uint64_t moviStart = 0; // offset of the "movi" list type
        std::uint32_t frames = 0;
        std::uint64_t indexStart = 0; // offset of its 'ix00' chunk (OpenDML)
        std::uint32_t indexBytes = 0;
    };

    // Appends a frame whose pixels putPixels writes, whole or not at all.
    template <class PutPixels> void appendWhole(PutPixels putPixels);
    void startFrame();
    void endFrame();
    void put(std::span<const std::byte> bytes);
    void putAt(std::uint64_t offset, std::span<const std::byte> bytes);
    void writeHeaders(const AviVideoStream& stream);
    void startExtensionRiff();
    void closeRiff(Riff& riff, bool openDml);
    void writeStandardIndex(Riff& riff);
    void writeLegacyIndex(const Riff& riff);
    void writeOpenDmlHeaders();
    std::uint64_t capacity(const Riff& riff) const;

    OutputFile& out_;
    std::uint32_t frameSize_;
    std::uint64_t chunkSize_; // '00db' header, pixels and pad byte
    std::uint32_t superIndexEntries_ = 0;
    std::uint64_t totalFramesAt_ = 0; // avih dwTotalFrames
    std::uint64_t lengthAt_ = 0;      // strh dwLength
    std::uint64_t superIndexAt_ = 0;  // 'indx' placeholder
    std::uint64_t openDmlAt_ = 0;     // 'odml' list placeholder
    std::vector<Riff> riffs_;
    std::uint64_t frames_ = 0;
    bool intact_ = true;
};

} // namespace kadrix
