// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kadrix {

// Appends fields to a byte buffer in little-endian order, whatever the
// host's byte order: the layout of every Windows file format we write.
class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::vector<std::byte>& out) : out_(out) {}

    LittleEndianWriter& u8(std::uint8_t value) {
        out_.push_back(std::byte{value});
        return *this;
    }
    LittleEndianWriter& u16(std::uint16_t value) {
        return u8(static_cast<std::uint8_t>(value)).u8(static_cast<std::uint8_t>(value >> 8));
    }
    LittleEndianWriter& u32(std::uint32_t value) {
        return u16(static_cast<std::uint16_t>(value)).u16(static_cast<std::uint16_t>(value >> 16));
    }
    LittleEndianWriter& u64(std::uint64_t value) {
        return u32(static_cast<std::uint32_t>(value)).u32(static_cast<std::uint32_t>(value >> 32));
    }
    LittleEndianWriter& i16(std::int16_t value) { return u16(static_cast<std::uint16_t>(value)); }
    LittleEndianWriter& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    // A four-character code such as "RIFF".
    LittleEndianWriter& fourcc(const char (&code)[5]) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<std::uint8_t>(code[i]));
        return *this;
    }
    LittleEndianWriter& zeros(std::size_t count) {
        out_.insert(out_.end(), count, std::byte{0});
        return *this;
    }
    LittleEndianWriter& append(std::span<const std::byte> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // Fills in a size field written earlier.
    void setU32(std::size_t at, std::uint32_t value);

    std::size_t size() const { return out_.size(); }
    std::span<const std::byte> view() const { return out_; }
    void clear() { out_.clear(); }

private:
    std::vector<std::byte>& out_;
};

inline void putU16(std::byte* at, std::uint16_t value) {
    at[0] = static_cast<std::byte>(value);
    at[1] = static_cast<std::byte>(value >> 8);
}

inline void putU32(std::byte* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::byte>(value >> (8 * i));
}

inline void LittleEndianWriter::setU32(std::size_t at, std::uint32_t value) {
    putU32(out_.data() + at, value);
}

inline std::uint16_t readU16(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned>(bytes[at]) |
                                      static_cast<unsigned>(bytes[at + 1]) << 8);
}

inline std::uint32_t readU32(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(readU16(bytes, at)) |
           static_cast<std::uint32_t>(readU16(bytes, at + 2)) << 16;
}

// A buffer of its own written through a LittleEndianWriter.
class LittleEndianBytes : public LittleEndianWriter {
public:
    LittleEndianBytes() : LittleEndianWriter(bytes_) {}
    LittleEndianBytes(const LittleEndianBytes&) = delete;
    LittleEndianBytes& operator=(const LittleEndianBytes&) = delete;

private:
    std::vector<std::byte> bytes_;
};

} // namespace kadrix
