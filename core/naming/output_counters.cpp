// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/naming/output_counters.h"

#include <stdexcept>

namespace kadrix {

std::size_t OutputCounters::index(OutputKind kind) {
    switch (kind) {
    case OutputKind::Picture:
        return 0;
    case OutputKind::Video:
        return 1;
    case OutputKind::Sound:
        return 2;
    case OutputKind::Frame:
        break;
    }
    throw std::invalid_argument("frames are numbered by their recording");
}

} // namespace kadrix
