// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file.h"

#include <string>
#include <vector>

namespace kadrix {

// How a second copy asks the running copy to show its window: the running
// copy listens on a Unix socket in the user's runtime folder, and any
// connection to it is the request. Without it a second copy could only say
// "already running" while the first sat hidden with its icon lost.

// The socket in the user's runtime folder, beside the lock: one per user, as
// the lock is.
std::string showRequestSocketPath(const std::string& runtimeDir);

// Sends the request and waits, at most timeoutMs, until the running copy has
// shown its window, so that what the caller shows next comes in front of it.
// False when no copy listens there.
bool sendShowRequest(const std::string& socketPath, int timeoutMs);

// The running copy's end. Removes the socket when it goes.
class ShowRequestListener {
public:
    ShowRequestListener() = default;
    // Replaces a socket left by a copy that crashed (only the copy that holds
    // the lock listens). Throws kadrix::Error naming the path on failure.
    static ShowRequestListener listen(const std::string& socketPath);
    ShowRequestListener(ShowRequestListener&& other) noexcept = default;
    ShowRequestListener& operator=(ShowRequestListener&& other) noexcept;
    ShowRequestListener(const ShowRequestListener&) = delete;
    ShowRequestListener& operator=(const ShowRequestListener&) = delete;
    ~ShowRequestListener();

    // Watched for reading by the caller's event loop.
    int fd() const { return fd_.get(); }
    // Takes the pending requests. Closing one (letting it go) tells its sender
    // that the window is shown.
    std::vector<UniqueFd> takeRequests();

private:
    void removeSocket();

    std::string path_;
    UniqueFd fd_;
};

} // namespace kadrix
