// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/naming/output_name.h"

#include <array>
#include <cstdint>

namespace kadrix {

// The numbers the next picture, clip and sound of this run get. Each starts
// at 1 and grows by one whenever the window uses its number up (a recording
// that made no clip still uses up its number; a sound that could not be
// saved does not). Frames are numbered by their recording, so they have no
// counter here.
class OutputCounters {
public:
    std::int32_t next(OutputKind kind) const { return values_[index(kind)]; }
    void advance(OutputKind kind) { ++values_[index(kind)]; }

private:
    // Throws std::invalid_argument for a frame.
    static std::size_t index(OutputKind kind);

    std::array<std::int32_t, 3> values_{1, 1, 1};
};

} // namespace kadrix
