// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drive_ready.h"

#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kadrix {

bool IsDriveReady(const std::string& mountPoint) {
    struct stat status {};
    return !mountPoint.empty() && ::stat(mountPoint.c_str(), &status) == 0 &&
           S_ISDIR(status.st_mode) &&
           ::faccessat(AT_FDCWD, mountPoint.c_str(), X_OK, AT_EACCESS) == 0;
}

bool isDriveReadyWithin(const std::string& mountPoint, std::chrono::milliseconds limit,
                        std::function<bool(const std::string&)> look) {
    // The worker owns what it uses: it may outlive this call by minutes.
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> ready = answer->get_future();
    std::thread([answer, look = std::move(look), mountPoint] {
        try {
            answer->set_value(look(mountPoint));
        } catch (...) {
            answer->set_exception(std::current_exception());
        }
    }).detach();
    if (ready.wait_for(limit) != std::future_status::ready)
        return false;
    return ready.get();
}

} // namespace kadrix
