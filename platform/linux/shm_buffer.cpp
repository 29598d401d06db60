// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/shm_buffer.h"

#include "core/error.h"

#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace kadrix {

namespace {

// Closes the memory's descriptor once the compositor and our mapping hold it.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

ShmBuffer::ShmBuffer(wl_shm* shm, int width, int height, int stride, std::uint32_t format)
    : width_(width), height_(height), stride_(stride), format_(format),
      size_(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height)) {
    const Descriptor memory{::memfd_create("kadrix-screen", MFD_CLOEXEC)};
    if (memory.fd < 0)
        throw systemError("Cannot make shared memory for", "the screen picture", errno);
    if (::ftruncate(memory.fd, static_cast<off_t>(size_)) != 0)
        throw systemError("Cannot size shared memory for", "the screen picture", errno);
    data_ = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, memory.fd, 0);
    if (data_ == MAP_FAILED) {
        data_ = nullptr;
        throw systemError("Cannot map shared memory for", "the screen picture", errno);
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, memory.fd, static_cast<std::int32_t>(size_));
    buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
    // The buffer keeps the pool's memory.
    wl_shm_pool_destroy(pool);
}

ShmBuffer::~ShmBuffer() {
    if (buffer_)
        wl_buffer_destroy(buffer_);
    if (data_)
        ::munmap(data_, size_);
}

} // namespace kadrix
