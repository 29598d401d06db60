// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace kadrix {

// A System V shared memory segment attached both here and in the X server
// (MIT-SHM), so that the server can put a picture straight into our memory.
// The segment is marked for removal as soon as it is attached: the kernel
// frees it when the last attachment goes, even if the process dies.
class X11ShmSegment {
public:
    // Throws kadrix::Error when the segment cannot be made or the server
    // cannot attach it (a display on another machine).
    X11ShmSegment(xcb_connection_t* connection, std::size_t size);
    ~X11ShmSegment();
    X11ShmSegment(const X11ShmSegment&) = delete;
    X11ShmSegment& operator=(const X11ShmSegment&) = delete;

    xcb_shm_seg_t id() const { return id_; }
    const std::byte* data() const { return static_cast<const std::byte*>(address_.get()); }
    std::size_t size() const { return size_; }

private:
    struct Detach {
        void operator()(void* address) const;
    };

    xcb_connection_t* connection_;
    std::size_t size_;
    std::unique_ptr<void, Detach> address_;
    xcb_shm_seg_t id_ = 0;
};

} // namespace kadrix
