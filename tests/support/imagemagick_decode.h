// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kadrix {

// A picture file decoded by ImageMagick, as 8-bit red, green, blue and alpha,
// rows top-down. Fails the test when convert is missing, rejects the file or
// yields another size.
inline std::vector<std::uint8_t> decodeRgbaWithImageMagick(const std::string& path, int width,
                                                           int height) {
    const std::string command = "convert '" + path + "' -depth 8 rgba:- 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run: " << command;
        return {};
    }
    std::vector<std::uint8_t> rgba;
    std::uint8_t chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        rgba.insert(rgba.end(), chunk, chunk + n);
    const int status = ::pclose(pipe);
    const auto expected = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (status != 0 || rgba.size() != expected) {
        ADD_FAILURE() << command << " exited with " << status << " and gave " << rgba.size()
                      << " bytes instead of " << expected << ": "
                      << std::string(rgba.begin(),
                                     rgba.begin() + std::min<std::size_t>(rgba.size(), 300));
        return {};
    }
    return rgba;
}

} // namespace kadrix
