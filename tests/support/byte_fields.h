// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

namespace kadrix::test {

// Little-endian fields of a file's bytes, as the tests read headers back and
// spoil them. A field past the end throws, so that a test reading a short
// file fails instead of reading beyond it.
inline std::uint64_t fieldAt(std::span<const std::byte> bytes, std::size_t at, int size) {
    if (at + static_cast<std::size_t>(size) > bytes.size())
        throw std::out_of_range("field beyond the end of the bytes");
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::to_integer<std::uint64_t>(bytes[at + static_cast<std::size_t>(i)]) << (8 * i);
    return value;
}
inline std::uint16_t u16At(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(fieldAt(bytes, at, 2));
}
inline std::uint32_t u32At(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(fieldAt(bytes, at, 4));
}
inline std::int32_t s32At(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::int32_t>(u32At(bytes, at));
}
inline std::uint64_t u64At(std::span<const std::byte> bytes, std::size_t at) {
    return fieldAt(bytes, at, 8);
}

inline void putField(std::span<std::byte> bytes, std::size_t at, std::uint64_t value,
                     int size = 4) {
    if (at + static_cast<std::size_t>(size) > bytes.size())
        throw std::out_of_range("field beyond the end of the bytes");
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * i) & 0xFF);
}

// One way to spoil a file, for tables of damaged inputs.
using Spoil = std::function<void(std::vector<std::byte>&)>;

// Sets a field of `size` bytes at `at` to value.
inline Spoil withField(std::size_t at, std::uint64_t value, int size = 4) {
    return [=](std::vector<std::byte>& bytes) {
        putField(bytes, at, value, size);
    };
}
// Drops the file's last byte.
inline Spoil lastByteCut() {
    return [](std::vector<std::byte>& bytes) {
        bytes.pop_back();
    };
}
// Cuts the file to `size` bytes.
inline Spoil cutTo(std::size_t size) {
    return [=](std::vector<std::byte>& bytes) {
        bytes.resize(size);
    };
}

} // namespace kadrix::test
