// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace kadrix {

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2,
// 3.5 -> 4), as the viewer rounds sizes and places. Written out rather than
// left to the floating-point rounding mode, which any library may change.
inline long long roundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    auto result = static_cast<long long>(below);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

} // namespace kadrix
