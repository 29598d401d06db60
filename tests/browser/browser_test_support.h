// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/test_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace kadrix::test {

namespace fs = std::filesystem;

inline void touch(const fs::path& path) {
    writeFile(path, "x");
}

// A folder of awkward names, as the browser meets them:
//   files     A.bmp a.bmp b.bmp c.BMP Zebra.bmp "with space.bmp" арбуз.bmp
//             Ярлык.bmp ёж.bmp "bad\xFF.bmp" (not UTF-8) no_extension clip.avi
//             sound.WAV, link.bmp (a link to A.bmp)
//   not files .hidden.bmp, dangling.bmp (a link to nothing), pipe.bmp (a
//             pipe), folder.bmp (a folder)
//   folders   alpha Sub Папка folder.bmp linkdir (a link to Sub), .git
inline void fillAwkwardFolder(const fs::path& dir) {
    for (const char* name : {"A.bmp", "a.bmp", "b.bmp", "c.BMP", "Zebra.bmp", "with space.bmp",
                             "арбуз.bmp", "Ярлык.bmp", "ёж.bmp", "bad\xFF.bmp", "no_extension",
                             "clip.avi", "sound.WAV", ".hidden.bmp"})
        touch(dir / name);
    fs::create_symlink("A.bmp", dir / "link.bmp");
    fs::create_symlink("nowhere", dir / "dangling.bmp");
    ::mkfifo((dir / "pipe.bmp").c_str(), 0600);
    for (const char* name : {"alpha", "Sub", "Папка", "folder.bmp", ".git"})
        fs::create_directory(dir / name);
    fs::create_symlink("Sub", dir / "linkdir");
}

// The display order of the awkward folder's files for "*.bmp", in the C.UTF-8
// locale of the tests: letters without regard to case, then code points
// (so "ё" comes after "я"), and "A" before "a" where nothing else differs.
inline std::vector<std::string> awkwardBmpFiles() {
    return {"A.bmp",          "a.bmp",     "b.bmp",     "bad\xFF.bmp", "c.BMP", "link.bmp",
            "with space.bmp", "Zebra.bmp", "арбуз.bmp", "Ярлык.bmp",   "ёж.bmp"};
}

inline std::vector<std::string> awkwardSubfolders() {
    return {"alpha", "folder.bmp", "linkdir", "Sub", "Папка"};
}

// Makes a folder unreadable for the rest of the object's life. Root reads any
// folder whatever its mode, so for root this thread also gives up the two
// capabilities that override file permissions, and takes them back after.
class UnreadableFolder {
public:
    explicit UnreadableFolder(fs::path dir, fs::perms mode = fs::perms::none)
        : dir_(std::move(dir)) {
        fs::permissions(dir_, mode);
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (::geteuid() == 0 && ::syscall(SYS_capget, &header_, saved_) == 0) {
            __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
            reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
        }
    }
    ~UnreadableFolder() {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
        fs::permissions(dir_, fs::perms::owner_all);
    }
    UnreadableFolder(const UnreadableFolder&) = delete;
    UnreadableFolder& operator=(const UnreadableFolder&) = delete;

    // What the folder's mode allows now (a test skips where it cannot deny).
    bool canList() const {
        DIR* dir = ::opendir(dir_.c_str());
        if (dir)
            ::closedir(dir);
        return dir != nullptr;
    }
    bool canEnter() const { return ::faccessat(AT_FDCWD, dir_.c_str(), X_OK, AT_EACCESS) == 0; }

private:
    fs::path dir_;
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

} // namespace kadrix::test
