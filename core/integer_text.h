// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace kadrix {

// A decimal integer typed by the user: an optional sign and digits, nothing
// else (no blanks; trim them first). Throws kadrix::Error
// "'<text>' is not a valid integer value" for anything else, an empty text
// and a number outside the 32-bit range included.
int parseInteger(std::string_view text);

} // namespace kadrix
