// SPDX-License-Identifier: GPL-3.0-or-later
// A folder for the file fuzzers' files, removed at exit. It is in memory
// where the system has /dev/shm: on a disk, creating and deleting the files
// made the runs many times slower.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kadrix::fuzz {

struct ShmFolder {
    explicit ShmFolder(const std::string& name) {
        std::error_code error;
        const std::filesystem::path parent = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        std::string pattern = (parent / (name + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~ShmFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        std::abort();
}

} // namespace kadrix::fuzz
