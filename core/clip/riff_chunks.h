// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/little_endian.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace kadrix {

// Whether the four bytes at `at` are the chunk code `code`.
inline bool isCode(std::span<const std::byte> bytes, std::size_t at, const char (&code)[5]) {
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, code, 4) == 0;
}

// One chunk of a RIFF file: its id (and list type, for lists), where its
// data lies.
struct Chunk {
    std::array<std::byte, 12> head{};
    std::uint64_t dataStart = 0;
    std::uint64_t size = 0;
    bool is(const char (&code)[5]) const { return isCode(head, 0, code); }
    bool isList(const char (&type)[5]) const {
        return (is("LIST") || is("RIFF")) && size >= 4 && isCode(head, 8, type);
    }
};

// The chunks of [begin, end) of bytes held in memory, for each: visit(chunk).
// A chunk that runs past end is visited cut at end and ends the walk: the
// head of a file, read alone, may cut its last list.
template <typename Visit>
void forEachChunk(std::span<const std::byte> bytes, std::size_t begin, std::size_t end,
                  Visit visit) {
    std::size_t at = begin;
    while (at + 8 <= end) {
        Chunk chunk;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    std::min<std::size_t>(12, end - at), chunk.head.begin());
        chunk.size = readU32(bytes, at + 4);
        chunk.dataStart = at + 8;
        const bool cut = chunk.size > end - chunk.dataStart;
        if (cut)
            chunk.size = end - chunk.dataStart;
        visit(chunk);
        if (cut)
            return;
        at = static_cast<std::size_t>(chunk.dataStart + chunk.size + chunk.size % 2);
    }
}

} // namespace kadrix
