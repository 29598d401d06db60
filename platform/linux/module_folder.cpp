// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/module_folder.h"

#include <array>
#include <unistd.h>

namespace kadrix {

std::string programFolder() {
    std::array<char, 4096> path{};
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return ".";
    const std::string program(path.data(), static_cast<std::size_t>(n));
    return program.substr(0, program.rfind('/'));
}

} // namespace kadrix
