// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/show_request.h"

#include "core/error.h"
#include "core/path.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kadrix {

namespace {

bool socketAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

std::string showRequestSocketPath(const std::string& runtimeDir) {
    return joinPath(runtimeDir, "kadrix.socket");
}

bool sendShowRequest(const std::string& socketPath, int timeoutMs) {
    sockaddr_un address;
    if (!socketAddress(socketPath, address))
        return false;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return false;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    // The running copy answers by closing the connection.
    pollfd answer{fd.get(), POLLIN, 0};
    while (::poll(&answer, 1, timeoutMs) < 0 && errno == EINTR) {
    }
    return true;
}

ShowRequestListener ShowRequestListener::listen(const std::string& socketPath) {
    sockaddr_un address;
    if (!socketAddress(socketPath, address))
        throw Error("Path too long for a socket: \"" + socketPath + "\"");
    ShowRequestListener listener;
    listener.fd_ = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.fd_)
        throw systemError("Cannot create socket", socketPath, errno);
    ::unlink(socketPath.c_str());
    if (::bind(listener.fd_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
            0 ||
        ::listen(listener.fd_.get(), 4) != 0)
        throw systemError("Cannot listen on socket", socketPath, errno);
    listener.path_ = socketPath;
    return listener;
}

ShowRequestListener& ShowRequestListener::operator=(ShowRequestListener&& other) noexcept {
    if (this != &other) {
        removeSocket();
        path_ = std::move(other.path_);
        other.path_.clear();
        fd_ = std::move(other.fd_);
    }
    return *this;
}

ShowRequestListener::~ShowRequestListener() {
    removeSocket();
}

void ShowRequestListener::removeSocket() {
    if (!path_.empty() && fd_)
        ::unlink(path_.c_str());
}

std::vector<UniqueFd> ShowRequestListener::takeRequests() {
    std::vector<UniqueFd> requests;
    for (;;) {
        UniqueFd connection(::accept4(fd_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection)
            return requests;
        requests.push_back(std::move(connection));
    }
}

} // namespace kadrix
