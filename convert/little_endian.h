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

    void u8(std::uint8_t value) { out_.push_back(std::byte{value}); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void bytes(std::span<const std::byte> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }

private:
    std::vector<std::byte>& out_;
};

} // namespace kadrix
