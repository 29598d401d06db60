// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace kadrix::test {

// A folder on a tmpfs of its own, 1 MiB large, so that a write fills it the
// way a full disk does. Mounting takes root (CI runs as root); where it
// fails, mounted() is false and why() says why, for the test to skip.
class SmallDisk {
public:
    SmallDisk() {
        if (::mount("tmpfs", dir_.str().c_str(), "tmpfs", 0, "size=1m") == 0)
            mounted_ = true;
        else
            why_ = std::string("cannot mount a small tmpfs (root only): ") + std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(dir_.str().c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Writes the file "filler" so that about free bytes stay free.
    void fillLeaving(std::size_t free) const {
        struct statvfs disk {};
        if (::statvfs(dir_.str().c_str(), &disk) != 0)
            throw std::runtime_error("cannot measure " + dir_.str());
        const std::size_t available = disk.f_bavail * disk.f_frsize;
        writeFile(path("filler"), std::string(available > free ? available - free : 0, 'f'));
    }

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    std::string path(const std::string& name) const { return dir_.path(name); }
    std::string str() const { return dir_.str(); }

private:
    TempDir dir_{"kadrix-small-disk"};
    bool mounted_ = false;
    std::string why_;
};

} // namespace kadrix::test
