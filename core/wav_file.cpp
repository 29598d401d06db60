// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/wav_file.h"

#include "core/file.h"
#include "core/little_endian.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace kadrix {

namespace {

// RIFF sizes are 32-bit and count everything after the first 8 bytes.
constexpr std::uint64_t maxDataBytes =
    std::numeric_limits<std::uint32_t>::max() - (wavHeaderSize - 8) - 1;

constexpr std::uint16_t wavePcm = 1;

} // namespace

std::array<std::byte, wavHeaderSize> wavHeader(const PcmFormat& format, std::uint64_t dataBytes) {
    if (format.channels == 0 || format.sampleRate == 0 || format.bitsPerSample == 0)
        throw std::invalid_argument("a WAV file needs channels, a rate and a sample size");
    if (dataBytes > maxDataBytes)
        throw std::invalid_argument("too much sound for one WAV file");
    const auto data = static_cast<std::uint32_t>(dataBytes);
    const std::uint32_t padded = data + (data & 1u);
    LittleEndianBytes out;
    out.fourcc("RIFF").u32(static_cast<std::uint32_t>(wavHeaderSize - 8) + padded).fourcc("WAVE");
    out.fourcc("fmt ")
        .u32(16)
        .u16(wavePcm)
        .u16(format.channels)
        .u32(format.sampleRate)
        .u32(format.bytesPerSecond())
        .u16(static_cast<std::uint16_t>(format.bytesPerFrame()))
        .u16(format.bitsPerSample);
    out.fourcc("data").u32(data);
    std::array<std::byte, wavHeaderSize> header{};
    std::copy(out.view().begin(), out.view().end(), header.begin());
    return header;
}

void writeWavFile(const std::string& path, const PcmFormat& format,
                  std::span<const std::byte> samples) {
    const auto header = wavHeader(format, samples.size());
    ReplacementFile file(path);
    file.out().write(header);
    file.out().write(samples);
    if (samples.size() & 1u)
        file.out().write(std::array{std::byte{0}});
    file.commit();
}

} // namespace kadrix
