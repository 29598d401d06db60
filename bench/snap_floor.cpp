// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of a still: a bare MIT-SHM grab of a rectangle of a 24- or 32-bit
// X screen written as a 32-bit BMP file, with nothing else: no checks of the
// screen's format, no temporary name, no conversion. The segment's pages are
// mapped in one call, and the rows go bottom-up straight from the shared
// memory by writev().
//   snap_floor [--count N] X Y W H FILE.bmp
// With --count, the grab and the write are done N times in one process, FILE
// removed before each, and the milliseconds of each are printed: the floor
// of a program that is already connected, as the main window is.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

void put16(unsigned char* at, std::uint16_t v) {
    std::memcpy(at, &v, 2);
}
void put32(unsigned char* at, std::uint32_t v) {
    std::memcpy(at, &v, 4);
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    if (argc == 8 && std::strcmp(argv[1], "--count") == 0) {
        count = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 6) {
        std::fputs("usage: snap_floor [--count N] X Y W H FILE.bmp\n", stderr);
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    const std::size_t stride = std::size_t(width) * 4;
    const std::size_t size = stride * std::size_t(height);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    auto* pixels = static_cast<unsigned char*>(shmat(id, nullptr, 0));
    shmctl(id, IPC_RMID, nullptr);
    // All pages mapped in one call rather than faulted in one by one.
    madvise(pixels, size, MADV_POPULATE_READ);
    const xcb_shm_seg_t segment = xcb_generate_id(connection);
    xcb_shm_attach(connection, segment, std::uint32_t(id), 0);

    unsigned char header[54] = {'B', 'M'};
    put32(header + 2, std::uint32_t(54 + size));
    put32(header + 10, 54);
    put32(header + 14, 40);
    put32(header + 18, std::uint32_t(width));
    put32(header + 22, std::uint32_t(height));
    put16(header + 26, 1);
    put16(header + 28, 32);
    put32(header + 34, std::uint32_t(size));
    std::vector<iovec> rows{{header, sizeof header}};
    for (int row = height - 1; row >= 0; --row)
        rows.push_back({pixels + std::size_t(row) * stride, stride});

    const auto still = [&] {
        free(xcb_shm_get_image_reply(connection,
                                     xcb_shm_get_image(connection, screen->root, std::int16_t(x),
                                                       std::int16_t(y), std::uint16_t(width),
                                                       std::uint16_t(height), ~0u,
                                                       XCB_IMAGE_FORMAT_Z_PIXMAP, segment, 0),
                                     nullptr));
        const int fd = open(argv[5], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        for (std::size_t at = 0; at < rows.size(); at += IOV_MAX) {
            const auto chunk = int(std::min<std::size_t>(IOV_MAX, rows.size() - at));
            if (writev(fd, rows.data() + at, chunk) < 0)
                return false;
        }
        return close(fd) == 0;
    };
    if (count == 0)
        return still() ? 0 : 1;
    for (int n = 0; n < count; ++n) {
        unlink(argv[5]);
        const auto start = std::chrono::steady_clock::now();
        if (!still())
            return 1;
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("%.2f\n", took.count());
    }
    return 0;
}
