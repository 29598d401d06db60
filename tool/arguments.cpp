// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/command.h"

#include <charconv>

namespace kadrix::tool {

bool parseInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

} // namespace kadrix::tool
