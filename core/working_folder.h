// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// The process's working folder, against which the relative path is taken.
// Throws "Cannot find the working folder for "<path>". <reason>".
std::string workingFolderFor(const std::string& path);

// Makes folder the process's working folder. Throws "Cannot open folder
// "<folder>". <reason>", leaving the working folder as it was.
void changeWorkingFolder(const std::string& folder);

} // namespace kadrix
