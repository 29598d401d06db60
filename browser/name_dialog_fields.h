// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// What the name dialog does when the user accepts, set by the command that
// opens it.
enum NameDialogModes { renameFileMode = 1, createFolderMode = 2 };

// The main window's fields for the name dialog. They keep their last values
// between openings.
struct NameDialogFields {
    int NameDialogMode = 0;
    // The file to rename: the file list's folder joined with its entry, and
    // the entry itself.
    std::string RenameSourcePath;
    std::string RenameSourceName;
    // The folder in which a new folder is made.
    std::string NewFolderParent;
};

} // namespace kadrix
