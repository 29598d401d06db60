// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kadrix {

// The shape of uncompressed PCM sound: interleaved little-endian samples.
struct PcmFormat {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;

    std::uint32_t bytesPerFrame() const { return channels * ((bitsPerSample + 7u) / 8u); }
    std::uint32_t bytesPerSecond() const { return sampleRate * bytesPerFrame(); }
    friend bool operator==(const PcmFormat&, const PcmFormat&) = default;
};

inline constexpr std::size_t wavHeaderSize = 44;

// The canonical 44-byte header of a RIFF/WAVE file with one PCM "fmt " chunk
// and one "data" chunk of dataBytes. Throws std::invalid_argument for a format
// without channels, rate or sample size, or data that no RIFF file can hold.
std::array<std::byte, wavHeaderSize> wavHeader(const PcmFormat& format, std::uint64_t dataBytes);

// Writes PCM sound as a WAV file at path, replacing a file there; the file is
// written beside it under a temporary name and renamed into place, so it is
// never seen half-written. An odd number of data bytes gets the pad byte that
// RIFF chunks need. Throws kadrix::Error: "Cannot create file ..." or
// "Cannot write file ...", naming the file and the reason.
void writeWavFile(const std::string& path, const PcmFormat& format,
                  std::span<const std::byte> samples);

} // namespace kadrix
