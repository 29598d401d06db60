// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_operations.h"

#include "core/file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Every byte of in onto the end of out.
bool copyAll(int in, int out) {
    std::vector<char> buffer(std::size_t{1} << 17);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put =
                ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            done += put;
        }
    }
}

// Between volumes there is no move: a copy is made where nothing has the
// name (the target is created, never opened), and the source goes only once
// the copy is whole and on the disk. A copy that fails takes itself back.
bool moveAcrossVolumes(const std::string& from, const std::string& to, const struct stat& source) {
    if (!S_ISREG(source.st_mode))
        return false;
    const UniqueFd in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in)
        return false;
    UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        S_IRUSR | S_IWUSR));
    if (!out)
        return false;
    // The file keeps its permissions and times, as a move keeps them.
    const timespec times[2] = {source.st_atim, source.st_mtim};
    const bool whole =
        copyAll(in.get(), out.get()) && ::fchmod(out.get(), source.st_mode & 07777) == 0 &&
        ::futimens(out.get(), times) == 0 && ::fsync(out.get()) == 0 && out.close() == 0;
    if (whole && ::unlink(from.c_str()) == 0)
        return true;
    // Never two copies, and never half of one.
    ::unlink(to.c_str());
    return false;
}

// Read-only as the user sees it: not writable for the user, or for no one.
// Root passes every permission check, but a file without a write bit is
// read-only to root as well.
bool readOnly(const std::string& path) {
    struct stat info {};
    // A link goes, not what it points to; a file that is not there is for
    // the delete itself to report.
    if (::lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
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
    if (errno == EXDEV)
        return moveAcrossVolumes(from, to, source);
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
    return !holdsNul(path) && !readOnly(path) && ::unlink(path.c_str()) == 0;
}

std::string createFolder(const std::string& path) {
    if (holdsNul(path))
        return std::strerror(EINVAL);
    if (::mkdir(path.c_str(), 0777) != 0)
        return std::strerror(errno);
    return {};
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
