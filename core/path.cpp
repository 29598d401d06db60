// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/path.h"

namespace kadrix {

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string replaceExtension(std::string_view path, std::string_view newExtension) {
    const auto slash = path.rfind('/');
    const auto componentStart = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = path.rfind('.');
    std::string result(path);
    if (dot != std::string_view::npos && dot >= componentStart)
        result.resize(dot);
    result += newExtension;
    return result;
}

} // namespace kadrix
