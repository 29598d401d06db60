#pragma once

#include <string>

namespace kadrix {

// The file and folder operations of the browser. Each answers whether it
// succeeded; the reason stays with the system, as the browser's messages
// name none.

// Moves the file at from to to, which may lie in another folder of the same
// volume. Never replaces anything at to, not even on file systems whose own
// move would; a from that is a folder, or a path holding a NUL, is refused.
bool moveFileNoReplace(const std::string& from, const std::string& to);

// Deletes a file (never a folder).
bool deleteFile(const std::string& path);

// Creates one folder level; its parent must exist.
bool createFolder(const std::string& path);

// Removes a folder; fails unless it is empty.
bool removeFolder(const std::string& path);

// Whether path names an existing folder, or an existing file (anything but a
// folder), following symbolic links.
bool folderExists(const std::string& path);
bool fileExists(const std::string& path);

} // namespace kadrix
