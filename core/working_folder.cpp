// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/working_folder.h"

#include "core/error.h"

#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace kadrix {

std::string workingFolderFor(const std::string& path) {
    char workingFolder[PATH_MAX];
    if (!::getcwd(workingFolder, sizeof workingFolder)) {
        const int error = errno;
        throw systemError("Cannot find the working folder for", path, error);
    }
    return workingFolder;
}

void checkFolderCanBeEntered(const std::string& folder) {
    // Asked as chdir would ask, with the effective ids.
    if (::faccessat(AT_FDCWD, folder.c_str(), X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        throw systemError("Cannot open folder", folder, error);
    }
}

} // namespace kadrix
