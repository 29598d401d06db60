// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/integer_text.h"

#include "core/error.h"

#include <charconv>
#include <string>

namespace kadrix {

int parseInteger(std::string_view text) {
    std::string_view number = text;
    // from_chars takes a minus sign but not a plus.
    if (number.starts_with('+'))
        number.remove_prefix(1);
    int value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    const bool twoSigns = text.starts_with('+') && number.starts_with('-');
    if (number.empty() || twoSigns || error != std::errc{} || stop != end)
        throw Error("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

} // namespace kadrix
