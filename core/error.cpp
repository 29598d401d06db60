// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"

#include <cstring>

namespace kadrix {

Error systemError(const std::string& what, const std::string& path, int errnoValue) {
    return Error(what + " \"" + path + "\". " + std::strerror(errnoValue));
}

std::string errorReportText(std::string text) {
    // Compared byte-wise: every byte of a multi-byte UTF-8 character sorts
    // after ".", as any letter does.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

} // namespace kadrix
