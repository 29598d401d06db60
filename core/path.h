// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace kadrix {

// Folder and name with one "/" between them; none is added after a folder
// that already ends in one (the filesystem root).
std::string joinPath(std::string_view folder, std::string_view name);

// The extension is the text from the last "." of the last path component; it
// is replaced by newExtension (which starts with "."), or newExtension is
// appended when the component has no ".".
std::string replaceExtension(std::string_view path, std::string_view newExtension);

} // namespace kadrix
