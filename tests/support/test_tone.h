// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/wav_file.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace kadrix::test {

// Writes 1.5 s of a 440 Hz tone, 16-bit mono at 44.1 kHz: long enough that
// a player which returns early shows, short enough for a test.
inline void writeTone(const std::string& path) {
    const PcmFormat format{.channels = 1, .sampleRate = 44100, .bitsPerSample = 16};
    std::vector<std::byte> samples;
    for (int n = 0; n < 44100 * 3 / 2; ++n) {
        const auto value = static_cast<std::int16_t>(
            8000 * std::sin(2 * std::numbers::pi * 440 * n / format.sampleRate));
        samples.push_back(static_cast<std::byte>(value & 0xff));
        samples.push_back(static_cast<std::byte>((value >> 8) & 0xff));
    }
    writeWavFile(path, format, samples);
}

} // namespace kadrix::test
