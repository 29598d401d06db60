#include "platform/drive_ready.h"

#include "core/error.h"
#include "core/file.h"

#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace kadrix {

namespace {

// The working directory's path, for an error message.
std::string workingDirectoryName() {
    char path[PATH_MAX];
    return ::getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

} // namespace

bool IsDriveReady(const std::string& mountPoint) {
    // Kept as a descriptor rather than a path: it leads back to the very same
    // folder even when that was renamed meanwhile. Where it cannot be kept
    // (the folder may no longer be searched), there would be no way back
    // either, so the test is not made and the working directory stays.
    const std::string previousName = workingDirectoryName();
    const UniqueFd previous(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!previous) {
        const int error = errno;
        throw systemError("Cannot keep the working folder", previousName, error);
    }
    const bool ready = ::chdir(mountPoint.c_str()) == 0;
    if (::fchdir(previous.get()) != 0) {
        const int error = errno;
        throw systemError("Cannot return to the working folder", previousName, error);
    }
    return ready;
}

} // namespace kadrix
