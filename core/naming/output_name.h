// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kadrix {

// The four kinds of file that capturing produces, each with its own counter.
enum class OutputKind { Picture, Frame, Video, Sound };

// The counter in decimal, padded with leading zeros to six digits; longer
// values keep every digit.
std::string counterDigits(std::int32_t counter);

// "Pic000001.bmp", "Fr000001.bmp", "Vid000001.avi", "ZVUK000001.wav".
std::string outputFileName(OutputKind kind, std::int32_t counter);

// The full path of an output file: folder, separator, prefix, digits, extension.
std::string outputPath(OutputKind kind, std::int32_t counter, std::string_view folder);

} // namespace kadrix
