// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kadrix {

enum class EntryKind { File, Folder, Other };

// The names of folder's entries of the wanted kind (regular files and folders
// also through symbolic links) that pass accept, in the order the file system
// gives them. accept sees each name before its kind is looked up, so a filter
// spares the look-ups of the names it turns away. Names beginning with "."
// are left out; names are the file system's bytes. Throws "Cannot read folder
// "<folder>". <reason>" when the folder cannot be read.
std::vector<std::string> folderEntries(const std::string& folder, EntryKind wanted,
                                       const std::function<bool(std::string_view)>& accept);

} // namespace kadrix
