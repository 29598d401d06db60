// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/avi_writer.h"

#include "core/little_endian.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace kadrix {

namespace {

// Each RIFF of a clip stays within 1 GiB, the limit of AVI 1.0 readers that
// OpenDML writers keep for every RIFF.
constexpr std::uint64_t riffLimit = std::uint64_t{1} << 30;
// Index entries are written in blocks of about this many bytes.
constexpr std::size_t indexBlockSize = std::size_t{64} << 10;

constexpr std::uint32_t avifHasIndex = 0x10;
constexpr std::uint32_t avifIsInterleaved = 0x100;
constexpr std::uint32_t aviifKeyFrame = 0x10;
constexpr std::uint8_t aviIndexOfIndexes = 0;
constexpr std::uint8_t aviIndexOfChunks = 1;

constexpr std::uint64_t mainHeaderSize = 56;   // avih
constexpr std::uint64_t streamHeaderSize = 56; // strh
constexpr std::uint64_t superIndexHeaderSize = 24;
constexpr std::uint64_t superIndexEntrySize = 16;
constexpr std::uint64_t standardIndexHeaderSize = 24;
constexpr std::uint64_t standardIndexEntrySize = 8;
constexpr std::uint64_t legacyIndexEntrySize = 16;
constexpr std::uint64_t dmlhSize = 248;
constexpr std::uint64_t openDmlListSize = 12 + 8 + dmlhSize; // LIST odml + dmlh chunk
// Bytes of an 'AVIX' RIFF besides its frames and their index entries:
// "AVIX", the movi list header and the 'ix00' chunk header.
constexpr std::uint64_t extensionRiffOverhead = 4 + 12 + 8 + standardIndexHeaderSize;

constexpr std::uint32_t u32Max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t clampU32(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, u32Max));
}

std::int16_t clampI16(std::int32_t value) {
    return static_cast<std::int16_t>(std::min<std::int32_t>(value, 0x7FFF));
}

using Bytes = LittleEndianBytes;

// Bytes of the file before the first frame: RIFF and hdrl headers, the
// format, the OpenDML placeholders and the movi list header.
std::uint64_t headerSize(std::uint64_t formatSize, std::uint64_t superIndexEntries) {
    return 12 + 12 + 8 + mainHeaderSize + 12 + 8 + streamHeaderSize + 8 + formatSize +
           formatSize % 2 + 8 + superIndexHeaderSize + superIndexEntries * superIndexEntrySize +
           openDmlListSize + 12;
}

} // namespace

AviWriter::AviWriter(OutputFile& out, const AviVideoStream& stream)
    : out_(out), frameSize_(stream.frameSize),
      chunkSize_(8 + std::uint64_t{stream.frameSize} + stream.frameSize % 2) {
    if (stream.rate == 0)
        throw std::invalid_argument("AVI frame rate 0");
    const std::uint64_t extensionFrames =
        std::max<std::uint64_t>(1, (riffLimit - extensionRiffOverhead) / (chunkSize_ + 8));
    // The first RIFF holds fewer frames than an extension, so this is enough.
    const std::uint64_t entries = 2 + stream.plannedFrames / extensionFrames;
    // The first RIFF must hold at least one frame with its index entries
    // within the 32-bit RIFF size.
    const std::uint64_t firstRiffPayload =
        headerSize(stream.format.size(), std::min<std::uint64_t>(entries, u32Max)) - 8 +
        chunkSize_ + 8 + standardIndexHeaderSize + standardIndexEntrySize + 8 +
        legacyIndexEntrySize;
    if (entries > u32Max || firstRiffPayload > u32Max)
        throw Error("Frame too large for an AVI clip");
    superIndexEntries_ = static_cast<std::uint32_t>(entries);
    writeHeaders(stream);
}

void AviWriter::put(std::span<const std::byte> bytes) {
    try {
        out_.write(bytes);
    } catch (const Error& error) {
        throw AviWriteError(error);
    }
}

void AviWriter::putAt(std::uint64_t offset, std::span<const std::byte> bytes) {
    try {
        out_.writeAt(offset, bytes);
    } catch (const Error& error) {
        throw AviWriteError(error);
    }
}

void AviWriter::writeHeaders(const AviVideoStream& stream) {
    const std::uint32_t rate = stream.rate;
    Bytes h;
    h.fourcc("RIFF").u32(0).fourcc("AVI ");
    const std::size_t hdrlSizeAt = h.size() + 4;
    h.fourcc("LIST").u32(0).fourcc("hdrl");
    h.fourcc("avih").u32(mainHeaderSize);
    h.u32((1000000 + rate / 2) / rate);                      // dwMicroSecPerFrame
    h.u32(clampU32(std::uint64_t{stream.frameSize} * rate)); // dwMaxBytesPerSec
    h.u32(0);                                                // dwPaddingGranularity
    h.u32(avifHasIndex | avifIsInterleaved);
    totalFramesAt_ = h.size();
    h.u32(0);                // dwTotalFrames, filled in by finish()
    h.u32(0);                // dwInitialFrames
    h.u32(1);                // dwStreams
    h.u32(stream.frameSize); // dwSuggestedBufferSize
    h.u32(static_cast<std::uint32_t>(stream.width));
    h.u32(static_cast<std::uint32_t>(stream.height));
    h.zeros(16); // dwReserved

    const std::size_t strlSizeAt = h.size() + 4;
    h.fourcc("LIST").u32(0).fourcc("strl");
    h.fourcc("strh").u32(streamHeaderSize);
    h.fourcc("vids");
    h.u32(0);        // fccHandler
    h.u32(0);        // dwFlags
    h.u16(0).u16(0); // wPriority, wLanguage
    h.u32(0);        // dwInitialFrames
    h.u32(1);        // dwScale
    h.u32(rate);     // dwRate
    h.u32(0);        // dwStart
    lengthAt_ = h.size();
    h.u32(0);                // dwLength, filled in by finish()
    h.u32(stream.frameSize); // dwSuggestedBufferSize
    h.u32(0);                // dwQuality
    h.u32(0);                // dwSampleSize
    // rcFrame holds 16-bit coordinates.
    h.i16(0).i16(0).i16(clampI16(stream.width)).i16(clampI16(stream.height));
    h.fourcc("strf").u32(static_cast<std::uint32_t>(stream.format.size()));
    h.append(stream.format).zeros(stream.format.size() % 2);
    // Room for the OpenDML super index and header, kept as JUNK, which every
    // reader skips, unless the clip outgrows the first RIFF.
    superIndexAt_ = h.size();
    const std::uint64_t superIndexSize =
        superIndexHeaderSize + superIndexEntries_ * superIndexEntrySize;
    h.fourcc("JUNK").u32(static_cast<std::uint32_t>(superIndexSize));
    h.zeros(static_cast<std::size_t>(superIndexSize));
    h.setU32(strlSizeAt, static_cast<std::uint32_t>(h.size() - strlSizeAt - 4));
    openDmlAt_ = h.size();
    h.fourcc("JUNK").u32(openDmlListSize - 8).zeros(openDmlListSize - 8);
    h.setU32(hdrlSizeAt, static_cast<std::uint32_t>(h.size() - hdrlSizeAt - 4));

    h.fourcc("LIST").u32(0).fourcc("movi");
    riffs_.push_back(Riff{.start = 0, .moviStart = h.size() - 4});
    put(h.view());
}

std::uint64_t AviWriter::capacity(const Riff& riff) const {
    // The RIFF's size if it held n frames is overhead + n * perFrame: frames,
    // 'ix00' entries and, in the first RIFF, idx1 entries.
    const bool first = riff.start == 0;
    const std::uint64_t overhead =
        first ? riff.moviStart + 4 - 8 + 8 + standardIndexHeaderSize + 8 : extensionRiffOverhead;
    const std::uint64_t perFrame =
        chunkSize_ + standardIndexEntrySize + (first ? legacyIndexEntrySize : 0);
    if (overhead + perFrame > riffLimit)
        return 1;
    return (riffLimit - overhead) / perFrame;
}

void AviWriter::startFrame() {
    if (riffs_.back().frames == capacity(riffs_.back())) {
        closeRiff(riffs_.back(), true);
        startExtensionRiff();
    }
    Bytes header;
    header.fourcc("00db").u32(frameSize_);
    put(header.view());
}

void AviWriter::endFrame() {
    if (frameSize_ % 2 != 0)
        put(Bytes().u8(0).view()); // chunks start at even offsets
    ++riffs_.back().frames;
    ++frames_;
}

template <class PutPixels> void AviWriter::appendWhole(PutPixels putPixels) {
    // Closing a full RIFF writes its index after the frames and its sizes
    // before them; cut back, it is open again and finish() writes them anew.
    const std::vector<Riff> riffs = riffs_;
    const std::uint64_t frames = frames_;
    const std::uint64_t end = out_.position();
    try {
        startFrame();
        putPixels();
        endFrame();
    } catch (const AviWriteError&) {
        riffs_ = riffs;
        frames_ = frames;
        try {
            out_.cutBack(end);
        } catch (const Error&) {
            intact_ = false;
        }
        throw;
    }
}

void AviWriter::copyFrame(const InputFile& source, std::uint64_t offset) {
    appendWhole([&] {
        try {
            out_.copyFrom(source, offset, frameSize_);
        } catch (const Error& error) {
            throw AviWriteError(error);
        }
    });
}

void AviWriter::writeFrame(std::span<const std::byte> pixels) {
    if (pixels.size() != frameSize_)
        throw std::invalid_argument("AVI frame of another size than the stream's");
    appendWhole([&] { put(pixels); });
}

void AviWriter::startExtensionRiff() {
    if (riffs_.size() == superIndexEntries_)
        throw std::logic_error("AVI clip longer than its planned frames");
    const std::uint64_t start = out_.position();
    Bytes h;
    h.fourcc("RIFF").u32(0).fourcc("AVIX").fourcc("LIST").u32(0).fourcc("movi");
    put(h.view());
    riffs_.push_back(Riff{.start = start, .moviStart = start + 20});
}

void AviWriter::closeRiff(Riff& riff, bool openDml) {
    if (openDml)
        writeStandardIndex(riff);
    Bytes size;
    putAt(riff.moviStart - 4,
          size.u32(static_cast<std::uint32_t>(out_.position() - riff.moviStart)).view());
    if (riff.start == 0)
        writeLegacyIndex(riff);
    size.clear();
    putAt(riff.start + 4,
          size.u32(static_cast<std::uint32_t>(out_.position() - riff.start - 8)).view());
}

void AviWriter::writeStandardIndex(Riff& riff) {
    riff.indexStart = out_.position();
    const std::uint64_t payload = standardIndexHeaderSize + riff.frames * standardIndexEntrySize;
    riff.indexBytes = static_cast<std::uint32_t>(8 + payload);
    Bytes b;
    b.fourcc("ix00").u32(static_cast<std::uint32_t>(payload));
    b.u16(2).u8(0).u8(aviIndexOfChunks).u32(riff.frames).fourcc("00db");
    b.u64(riff.moviStart).u32(0); // qwBaseOffset, dwReserved3
    for (std::uint64_t i = 0; i < riff.frames; ++i) {
        // Offsets point at the frame's bytes, past its chunk header.
        b.u32(static_cast<std::uint32_t>(4 + i * chunkSize_ + 8)).u32(frameSize_);
        if (b.size() >= indexBlockSize) {
            put(b.view());
            b.clear();
        }
    }
    put(b.view());
}

void AviWriter::writeLegacyIndex(const Riff& riff) {
    Bytes b;
    b.fourcc("idx1").u32(static_cast<std::uint32_t>(riff.frames * legacyIndexEntrySize));
    for (std::uint64_t i = 0; i < riff.frames; ++i) {
        // Offsets count from the "movi" list type.
        b.fourcc("00db").u32(aviifKeyFrame).u32(static_cast<std::uint32_t>(4 + i * chunkSize_));
        b.u32(frameSize_);
        if (b.size() >= indexBlockSize) {
            put(b.view());
            b.clear();
        }
    }
    put(b.view());
}

void AviWriter::writeOpenDmlHeaders() {
    Bytes index;
    index.fourcc("indx");
    index.u32(static_cast<std::uint32_t>(superIndexHeaderSize +
                                         superIndexEntries_ * superIndexEntrySize));
    index.u16(4).u8(0).u8(aviIndexOfIndexes).u32(static_cast<std::uint32_t>(riffs_.size()));
    index.fourcc("00db").zeros(12);
    for (const Riff& riff : riffs_)
        index.u64(riff.indexStart).u32(riff.indexBytes).u32(riff.frames);
    putAt(superIndexAt_, index.view());

    Bytes odml;
    odml.fourcc("LIST").u32(openDmlListSize - 8).fourcc("odml");
    odml.fourcc("dmlh").u32(dmlhSize).u32(clampU32(frames_)).zeros(dmlhSize - 4);
    putAt(openDmlAt_, odml.view());
}

void AviWriter::finish() {
    const bool openDml = riffs_.size() > 1;
    closeRiff(riffs_.back(), openDml);
    if (openDml)
        writeOpenDmlHeaders();
    Bytes count;
    // In an OpenDML clip avih counts the first RIFF's frames only, for AVI
    // 1.0 readers; strh and dmlh count them all.
    putAt(totalFramesAt_, count.u32(riffs_.front().frames).view());
    count.clear();
    putAt(lengthAt_, count.u32(clampU32(frames_)).view());
}

} // namespace kadrix
