// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <optional>
#include <span>

namespace kadrix {

// The program takes no arguments but the requests for its usage and version,
// which are answered before it looks for a display or takes its lock, so
// that they work anywhere and beside a running copy. Returns the exit status
// when the command line has been answered (the usage or the version on out,
// an argument the program does not take on err), nothing when it should run.
std::optional<int> answerCommandLine(std::span<char* const> arguments, std::FILE* out,
                                     std::FILE* err);

} // namespace kadrix
