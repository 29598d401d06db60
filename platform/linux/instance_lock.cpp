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

InstanceLock InstanceLock::create(const std::string& path) {
    InstanceLock lock;
    lock.path_ = path;
    lock.fd_ = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!lock.fd_)
        throw systemError("Cannot create file", path, errno);
    if (::flock(lock.fd_.get(), LOCK_EX | LOCK_NB) != 0)
        throw systemError("Cannot lock file", path, errno);
    return lock;
}

void InstanceLock::deleteAndRelease() {
    if (fd_ && !path_.empty())
        ::unlink(path_.c_str());
    release();
}

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The lock test in one folder. Returns false when the folder cannot hold a
// lock file at all (the caller may try another folder).
bool tryFolder(const std::string& folder, InstanceLockResult& result) {
    const std::string path = joinPath(folder, lockFileName);
    if (exists(path)) {
        if (isFileInUse(path)) {
            result.alreadyRunning = true;
            return true;
        }
        ::unlink(path.c_str());
    }
    try {
        result.lock = InstanceLock::create(path);
        result.error.clear();
        return true;
    } catch (const Error& error) {
        result.error = error.what();
        return false;
    }
}

} // namespace

InstanceLockResult takeInstanceLock(const std::string& programDir, const std::string& runtimeDir) {
    InstanceLockResult result;
    if (tryFolder(programDir, result))
        return result;
    if (!runtimeDir.empty() && runtimeDir != programDir)
        tryFolder(runtimeDir, result);
    return result;
}

} // namespace kadrix
