// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

class DirectoryListBox;
class FileListBox;

// Shows a typed path in the browser, the way the user means it:
// - a folder: the folder tree opens it (the file list follows);
// - a last part with "*" or "?": the tree opens the folder part and the last
//   part becomes the file list's mask, until the next mode switch;
// - an existing file: the tree opens its folder and its entry is selected,
//   the mask becoming its name where the list would not show it;
// - anything else throws kadrix::Error and changes nothing.
void applyTypedPath(DirectoryListBox& folders, FileListBox& files, const std::string& path);

} // namespace kadrix
