// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct wl_buffer;
struct wl_shm;

namespace kadrix {

// A Wayland buffer in shared memory that the compositor copies pictures into;
// kept for the next picture of the same size and format.
class ShmBuffer {
public:
    // Throws kadrix::Error when the memory cannot be had.
    ShmBuffer(wl_shm* shm, int width, int height, int stride, std::uint32_t format);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    bool fits(int width, int height, int stride, std::uint32_t format) const {
        return width == width_ && height == height_ && stride == stride_ && format == format_;
    }
    wl_buffer* buffer() const { return buffer_; }
    std::span<const std::byte> bytes() const {
        return {static_cast<const std::byte*>(data_), size_};
    }

private:
    int width_;
    int height_;
    int stride_;
    std::uint32_t format_;
    std::size_t size_;
    void* data_ = nullptr;
    wl_buffer* buffer_ = nullptr;
};

} // namespace kadrix
