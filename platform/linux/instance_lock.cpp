// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"

#include "core/error.h"
#include "core/path.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kadrix {

bool isFileInUse(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return true;
    return ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0;
}

void InstanceLock::deleteAndRelease() {
    if (fd_ && !path_.empty())
        ::unlink(path_.c_str());
    release();
}

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

enum class Take { Held, InUse, Retry, Failed };

// One attempt at path. The file is opened without truncating and locked
// before anything is done to it: truncating or deleting first would let two
// copies starting at the same instant each take a lock of its own.
Take takeOnce(const std::string& path, InstanceLockResult& result) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
        const int error = errno;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            result.error = systemError("Cannot create file", path, error).what();
            return Take::Failed;
        }
        // Somebody else's file, or a read-only one: held, or stale and
        // replaced where the folder lets us.
        if (isFileInUse(path))
            return Take::InUse;
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            result.error = systemError("Cannot create file", path, error).what();
            return Take::Failed;
        }
        return Take::Retry;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return Take::InUse;
        result.error = systemError("Cannot lock file", path, errno).what();
        return Take::Failed;
    }
    // An exiting copy deletes its file before it lets the lock go: a lock
    // taken on the file it deleted is no lock, so it is taken again.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd.get(), &held) != 0 || ::lstat(path.c_str(), &named) != 0 ||
        !sameFile(held, named))
        return Take::Retry;
    if (::ftruncate(fd.get(), 0) != 0) {
        result.error = systemError("Cannot create file", path, errno).what();
        return Take::Failed;
    }
    result.lock = InstanceLock(path, std::move(fd));
    result.error.clear();
    return Take::Held;
}

} // namespace

InstanceLockResult takeInstanceLock(const std::string& runtimeDir) {
    InstanceLockResult result;
    if (runtimeDir.empty()) {
        result.error = std::string("Cannot create file \"") + lockFileName +
                       "\": this user has no private runtime folder";
        return result;
    }
    const std::string path = joinPath(runtimeDir, lockFileName);
    // Each retry follows a file deleted under us; a handful settles any
    // plausible run of copies starting and ending together.
    for (int attempt = 0; attempt < 8; ++attempt) {
        switch (takeOnce(path, result)) {
        case Take::Held:
        case Take::Failed:
            return result;
        case Take::InUse:
            result.alreadyRunning = true;
            return result;
        case Take::Retry:
            break;
        }
    }
    result.error = "Cannot lock file \"" + path + "\": it keeps being replaced";
    return result;
}

} // namespace kadrix
