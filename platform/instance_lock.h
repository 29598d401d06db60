// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file.h"

#include <string>
#include <utility>

namespace kadrix {

// True when the file cannot be opened and locked exclusively at this moment:
// another process holds it, it cannot be read, or it is gone.
bool isFileInUse(const std::string& path);

// The empty lock file that keeps a second copy of the program from running:
// an open descriptor under an exclusive advisory lock (flock) for as long as
// this object lives.
class InstanceLock {
public:
    InstanceLock() = default;
    InstanceLock(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

    bool held() const { return static_cast<bool>(fd_); }
    const std::string& path() const { return path_; }
    // Closes the descriptor, which releases the lock; the file stays.
    void release() { fd_.close(); }
    // Deletes the file, then releases the lock: in the other order a copy
    // starting in between could lock the file just before it vanishes, and
    // then a third copy would find no lock and run too.
    void deleteAndRelease();

private:
    std::string path_;
    UniqueFd fd_;
};

// What the start-up lock test found.
struct InstanceLockResult {
    InstanceLock lock;           // held by this copy, or not held
    bool alreadyRunning = false; // another copy holds the lock
    std::string error;           // why no lock could be taken (reported, not fatal)
};

// Takes "KadrixZap.dat" in the user's private runtime folder, never beside
// the program: one running copy per user, whichever folder it was started
// from, and users of one copy (root too) never meet each other's lock nor
// write where the program lies. A file that nobody holds is stale: it is
// taken and emptied, or, where it cannot be opened for writing, deleted and
// created afresh. Of copies started at the same instant, exactly one holds
// the lock. Without a runtime folder (an empty runtimeDir) no lock is taken
// and the error says so.
InstanceLockResult takeInstanceLock(const std::string& runtimeDir);

inline constexpr const char* lockFileName = "KadrixZap.dat";

} // namespace kadrix
