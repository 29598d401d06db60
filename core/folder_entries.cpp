// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/folder_entries.h"

#include "core/error.h"
#include "core/file.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace kadrix {

namespace {

EntryKind kindOf(int folderFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        // Pipes, sockets and devices: opening a pipe to preview it would hang.
        return EntryKind::Other;
    }
    struct stat status {};
    if (::fstatat(folderFd, entry.d_name, &status, 0) != 0)
        return EntryKind::Other; // a dangling link, or gone since it was listed
    if (S_ISREG(status.st_mode))
        return EntryKind::File;
    return S_ISDIR(status.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

std::vector<std::string> folderEntries(const std::string& folder, EntryKind wanted,
                                       const std::function<bool(std::string_view)>& accept) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        throw systemError("Cannot read folder", folder, error);
    }
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd.get()));
    if (!dir) {
        const int error = errno;
        throw systemError("Cannot read folder", folder, error);
    }
    fd.release(); // the stream owns it now

    std::vector<std::string> names;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (const int error = errno; error != 0)
                throw systemError("Cannot read folder", folder, error);
            break;
        }
        const std::string_view name = entry->d_name;
        if (name.starts_with('.') || !accept(name) || kindOf(::dirfd(dir.get()), *entry) != wanted)
            continue;
        names.emplace_back(name);
    }
    return names;
}

} // namespace kadrix
