// SPDX-License-Identifier: GPL-3.0-or-later
// The avi preview reads the stream headers of any clip the user clicks. With
// the first byte odd the rest of the input is the file; otherwise the input
// is laid over the headers of a small clip, so that the fuzzer starts from
// chunks that lead to the stream format and changes one field at a time.
#include "core/clip/clip_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace {

std::vector<std::uint8_t> goodHead() {
    std::vector<std::uint8_t> b;
    const auto code = [&b](std::string_view c) {
        b.insert(b.end(), c.begin(), c.end());
    };
    const auto u32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    code("RIFF");
    u32(4 + 12 + 12 + 8 + 56 + 8 + 40);
    code("AVI LIST");
    u32(4 + 12 + 8 + 56 + 8 + 40);
    code("hdrlLIST");
    u32(4 + 8 + 56 + 8 + 40);
    code("strlstrh");
    u32(56);
    code("vids");
    b.resize(b.size() + 52);
    code("strf");
    u32(40);
    u32(40);
    b.resize(b.size() + 8);
    b.push_back(1); // planes
    b.push_back(0);
    b.push_back(16); // bits a pixel
    b.push_back(0);
    b.resize(b.size() + 24);
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> head = goodHead();
    if (size > 0 && data[0] % 2 != 0) {
        head.assign(data + 1, data + size);
    } else if (size > 0) {
        head.resize(std::max(size, head.size()));
        std::copy(data + 1, data + size, head.begin() + 1);
    }
    static_cast<void>(kadrix::clipPixelFormat(std::as_bytes(std::span(head))));
    return 0;
}
