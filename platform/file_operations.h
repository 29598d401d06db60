// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// The file and folder operations of the browser. Most answer whether they
// succeeded; the reason stays with the system, as the browser's messages
// name none.

// Moves the file at from to to, which may lie in another folder or on
// another volume. Never replaces anything at to, not even on file systems
// whose own move would; a from that is a folder, or a path holding a NUL, is
// refused. Across volumes the file is copied (a copy that fails leaves no
// part of itself behind) and the source deleted once the copy is whole.
bool moveFileNoReplace(const std::string& from, const std::string& to);

// Deletes a file (never a folder). A read-only file is not deleted: one that
// the user may not write, or that no one may (root may write anything, but
// a file without a write bit is read-only to root as well).
bool deleteFile(const std::string& path);

// Creates one folder level; its parent must exist. Returns the system's
// reason when it cannot, an empty text when the folder was made.
std::string createFolder(const std::string& path);

// Removes a folder; fails unless it is empty.
bool removeFolder(const std::string& path);

// Whether path names an existing folder, or an existing file (anything but a
// folder), following symbolic links.
bool folderExists(const std::string& path);
bool fileExists(const std::string& path);

} // namespace kadrix
