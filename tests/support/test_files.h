// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kadrix::test {

// Writes a file afresh with exactly these bytes; throws when it cannot, so
// that a test never goes on with a file it believes written.
inline void writeFile(const std::string& path, std::span<const std::byte> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline void writeFile(const std::string& path, std::string_view text) {
    writeFile(path, std::as_bytes(std::span(text.data(), text.size())));
}

// The whole file; throws when it cannot be read.
inline std::vector<std::byte> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto* first = reinterpret_cast<const std::byte*>(bytes.data());
    return {first, first + bytes.size()};
}

// The whole file as text; throws when it cannot be read.
inline std::string readText(const std::string& path) {
    const std::vector<std::byte> bytes = readFile(path);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace kadrix::test
