// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// The process's working folder, against which the relative path is taken.
// Throws "Cannot find the working folder for "<path>". <reason>".
std::string workingFolderFor(const std::string& path);

// Whether the files of folder can be reached: a folder that may be read but
// not entered lists names whose files cannot be opened. Throws "Cannot open
// folder "<folder>". <reason>" when it cannot be entered.
void checkFolderCanBeEntered(const std::string& folder);

} // namespace kadrix
