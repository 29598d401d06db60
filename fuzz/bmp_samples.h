// SPDX-License-Identifier: GPL-3.0-or-later
// Small good BMP files for the picture fuzzers to start from: with the first
// input byte's low two bits zero the rest of the input is the file as it
// is; otherwise it is laid over one of three good files (RLE8, RLE4, 16-bit
// bit fields), so that the fuzzer starts from headers that pass and
// changes one field or run at a time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kadrix::fuzz {

inline std::vector<std::uint8_t> goodBmp(int kind) {
    const int bits = kind == 3 ? 16 : kind == 2 ? 4 : 8;
    const std::uint32_t compression = kind == 3 ? 3 : kind == 2 ? 2 : 1;
    const std::uint32_t paletteBytes = bits == 16 ? 12 : 4u << bits;
    const std::uint32_t offset = 54 + paletteBytes;
    std::vector<std::uint8_t> f(offset, 0);
    const auto put32 = [&f](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(10, offset);
    put32(14, 40);
    put32(18, 5);
    put32(22, 3);
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bits);
    put32(30, compression);
    if (bits == 16) {
        put32(54, 0xF800);
        put32(58, 0x07E0);
        put32(62, 0x001F);
        for (int i = 0; i < 3 * 6 * 2; ++i)
            f.push_back(static_cast<std::uint8_t>(i * 37));
    } else {
        for (std::uint32_t i = 54; i < offset; ++i)
            f[i] = static_cast<std::uint8_t>(i * 11);
        // A run, an uncompressed stretch, a jump, an end of line and an end
        // of picture.
        for (const std::uint8_t b : {3, 1, 0, 3, 2, 4, 5, 0, 0, 0, 0, 2, 1, 1, 2, 7, 0, 1})
            f.push_back(b);
    }
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(34, static_cast<std::uint32_t>(f.size() - offset));
    return f;
}

inline std::vector<std::uint8_t> bmpBytes(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return goodBmp(1);
    const int kind = data[0] % 4;
    if (kind == 0)
        return {data + 1, data + size};
    std::vector<std::uint8_t> file = goodBmp(kind);
    file.resize(std::max(size - 1, file.size()));
    std::copy(data + 1, data + size, file.begin());
    return file;
}

} // namespace kadrix::fuzz
