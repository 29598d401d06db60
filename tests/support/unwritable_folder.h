// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace kadrix::test {

// A folder in which no file can be made while the object lives, whoever runs
// the tests and from whichever thread the program writes: root may write
// anywhere except into an immutable folder, other users are kept out by the
// folder's mode. Where neither holds (a file system without the immutable
// flag, run as root) the test skips; holds() tells.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::filesystem::path dir) : dir_(std::move(dir)) {
        chattr("+i");
        if (!holds())
            std::filesystem::permissions(dir_, std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);
    }
    ~UnwritableFolder() { restore(); }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    bool holds() const { return !std::ofstream(dir_ / "probe"); }
    // Writable again, before the object goes.
    void restore() const {
        chattr("-i");
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
    }

private:
    // Where chattr fails (no such file system flag), holds() says so.
    void chattr(const char* flag) const {
        [[maybe_unused]] const int status = std::system(
            ("chattr " + std::string(flag) + " '" + dir_.string() + "' 2>/dev/null").c_str());
    }

    std::filesystem::path dir_;
};

} // namespace kadrix::test
