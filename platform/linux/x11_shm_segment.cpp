// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/x11_shm_segment.h"

#include "core/error.h"
#include "platform/linux/xcb_reply.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

namespace kadrix {

namespace {

Error shmError(const char* what, int errnoValue) {
    return Error(std::string("Cannot ") + what + " a shared memory segment. " +
                 std::strerror(errnoValue));
}

} // namespace

void X11ShmSegment::Detach::operator()(void* address) const {
    ::shmdt(address);
}

X11ShmSegment::X11ShmSegment(xcb_connection_t* connection, std::size_t size)
    : connection_(connection), size_(size) {
    const int shmId = ::shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmId < 0)
        throw shmError("create", errno);
    void* address = ::shmat(shmId, nullptr, SHM_RDONLY);
    const int attachErrno = errno;
    // Removed at once: on Linux an attached segment lives on, and another
    // process (the X server) may still attach it by its id, until the last
    // attachment goes. Nothing can leak past our end.
    ::shmctl(shmId, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1))
        throw shmError("attach", attachErrno);
    address_.reset(address);
    // Every page mapped here at once: faulted in one by one as the first
    // picture is read, a full screen's 2,000 pages took about a third of a
    // still's processor time. A kernel without the advice faults them in as
    // before.
    ::madvise(address, size, MADV_POPULATE_READ);

    id_ = xcb_generate_id(connection_);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection_,
        xcb_shm_attach_checked(connection_, id_, static_cast<std::uint32_t>(shmId), 0)));
    if (error || xcb_connection_has_error(connection_))
        throw Error("The X server cannot attach a shared memory segment");
}

X11ShmSegment::~X11ShmSegment() {
    // Checked, so that the server has let go before our end detaches and a
    // failure does not land in the event queue of a borrowed connection.
    XcbReply<xcb_generic_error_t> error(
        xcb_request_check(connection_, xcb_shm_detach_checked(connection_, id_)));
}

} // namespace kadrix
