#include "platform/file_operations.h"

#include "core/file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kadrix {

namespace {

// A path with a NUL in it would reach the system cut short, naming another
// file than the one the user typed.
bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// For file systems without an exchange-free rename: a hard link fails when
// the target exists, so link-then-unlink never replaces anything.
bool moveByLink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    if (::unlink(from.c_str()) != 0) {
        // Both names now stand for the file; take back the new one.
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

} // namespace

bool moveFileNoReplace(const std::string& from, const std::string& to) {
    if (holdsNul(from) || holdsNul(to) || from.empty() || to.empty())
        return false;
    struct stat source {};
    if (::lstat(from.c_str(), &source) != 0 || S_ISDIR(source.st_mode))
        return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // vfat, some network and FUSE file systems know no RENAME_NOREPLACE.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (moveByLink(from, to))
        return true;
    // Without hard links either (vfat): check, then move. Another program
    // could still slip a file in between; nothing better is on offer there.
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    if (entryExists(to))
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool deleteFile(const std::string& path) {
    return !holdsNul(path) && ::unlink(path.c_str()) == 0;
}

bool createFolder(const std::string& path) {
    return !holdsNul(path) && ::mkdir(path.c_str(), 0777) == 0;
}

bool removeFolder(const std::string& path) {
    return !holdsNul(path) && ::rmdir(path.c_str()) == 0;
}

bool folderExists(const std::string& path) {
    struct stat info {};
    return !holdsNul(path) && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return !holdsNul(path) && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace kadrix
