// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kadrix {

// The folder of the running program, through the kernel's link to it; the
// loadable modules are looked for beside it (<prefix>/lib/kadrix beside
// <prefix>/bin, and likewise in the build tree).
std::string programFolder();

} // namespace kadrix
