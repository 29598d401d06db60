// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kadrix::test {

// A fresh folder under the system's temporary folder, or under parent,
// removed with the object.
class TempDir {
public:
    explicit TempDir(const std::string& tag = "kadrix-test",
                     const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        std::string pattern = (parent / (tag + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of a file in the folder.
    std::string path(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

} // namespace kadrix::test
